#pragma once

#include <QByteArray>
#include <QString>

// File names as the file system stores them: bytes, usually but not always
// UTF-8. Qt decodes a name that is not valid UTF-8 into replacement
// characters, after which the file cannot be opened by that name again. These
// functions keep every byte instead: a byte that is not part of valid UTF-8
// travels as one lone surrogate (U+DC80 to U+DCFF) and comes back as the same
// byte, so a bitmap named in Latin-1 is read, converted and deleted by its
// own name, and its JPEG's name keeps the same bytes.
namespace NativeName {

QString decode(const QByteArray& bytes);
QByteArray encode(const QString& name);

// The name for a message: the bytes that are not UTF-8 as "\xE9".
QString printable(const QString& name);

} // namespace NativeName
