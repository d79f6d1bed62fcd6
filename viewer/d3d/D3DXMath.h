#pragma once

// The three matrix helpers of the D3DX utility library, with Direct3D's
// conventions: row vectors (a point p becomes p x M) and a left-handed view
// space looking down +z.
#include "D3DTypes.h"

namespace d3d {

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out);

// Vertical field of view fovY (radians), aspect = width / height. Depth maps
// to 0 at zn and 1 at zf, as Direct3D's clip space expects.
D3DMATRIX* D3DXMatrixPerspectiveFovLH(D3DMATRIX* out, float fovY, float aspect, float zn, float zf);

D3DMATRIX* D3DXMatrixLookAtLH(D3DMATRIX* out, const D3DVECTOR* eye, const D3DVECTOR* at, const D3DVECTOR* up);

D3DMATRIX operator*(const D3DMATRIX& a, const D3DMATRIX& b);

} // namespace d3d
