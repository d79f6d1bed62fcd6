#include "D3DXMath.h"

#include <cmath>

namespace d3d {

namespace {

D3DVECTOR subtract(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

float dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

D3DVECTOR cross(const D3DVECTOR& a, const D3DVECTOR& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

D3DVECTOR normalise(const D3DVECTOR& v)
{
    const float length = std::sqrt(dot(v, v));
    if (length == 0.0f)
        return v; // like D3DX: a zero vector stays zero instead of becoming NaN
    return {v.x / length, v.y / length, v.z / length};
}

} // namespace

D3DMATRIX* D3DXMatrixIdentity(D3DMATRIX* out)
{
    *out = D3DMATRIX{};
    for (int i = 0; i < 4; ++i)
        out->m[i][i] = 1.0f;
    return out;
}

D3DMATRIX* D3DXMatrixPerspectiveFovLH(D3DMATRIX* out, float fovY, float aspect, float zn, float zf)
{
    const float h = 1.0f / std::tan(fovY / 2.0f);
    const float w = h / aspect;
    const float q = zf / (zf - zn);
    *out = D3DMATRIX{};
    out->m[0][0] = w;
    out->m[1][1] = h;
    out->m[2][2] = q;
    out->m[2][3] = 1.0f;
    out->m[3][2] = -zn * q;
    return out;
}

D3DMATRIX* D3DXMatrixLookAtLH(D3DMATRIX* out, const D3DVECTOR* eye, const D3DVECTOR* at, const D3DVECTOR* up)
{
    const D3DVECTOR zaxis = normalise(subtract(*at, *eye));
    const D3DVECTOR xaxis = normalise(cross(*up, zaxis));
    const D3DVECTOR yaxis = cross(zaxis, xaxis);
    *out = D3DMATRIX{{{xaxis.x, yaxis.x, zaxis.x, 0.0f},
                      {xaxis.y, yaxis.y, zaxis.y, 0.0f},
                      {xaxis.z, yaxis.z, zaxis.z, 0.0f},
                      {-dot(xaxis, *eye), -dot(yaxis, *eye), -dot(zaxis, *eye), 1.0f}}};
    return out;
}

D3DMATRIX operator*(const D3DMATRIX& a, const D3DMATRIX& b)
{
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.m[i][k] * b.m[k][j];
            r.m[i][j] = sum;
        }
    return r;
}

} // namespace d3d
