#include "core/PrivateName.h"

#include "core/NativeName.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>

namespace {

const QString kStart = QStringLiteral(".fw-");
const QString kTemporary = QStringLiteral(".tmp");
const QString kAside = QStringLiteral(".del");
constexpr int kRandomLength = 6;
constexpr qsizetype kMaxNameBytes = 255;

QString randomPart()
{
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QString random;
    for (int i = 0; i < kRandomLength; ++i)
        random += QChar(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet) - 1)]);
    return random;
}

QString journalText(const PrivateName::Journal& journal)
{
    return QStringLiteral("%1-%2").arg(journal.number, 4, 10, QChar('0')).arg(journal.fingerprint, 16, 16, QChar('0'));
}

} // namespace

PrivateName PrivateName::temporary() { return {Kind::Temporary, randomPart(), {}, std::nullopt}; }

PrivateName PrivateName::aside(const QString& ownName, std::optional<Journal> journal)
{
    PrivateName name{Kind::Aside, randomPart(), ownName, journal};
    // The name's start goes first: its number and extension are what tell
    // it apart from its neighbours.
    while (NativeName::encode(name.fileName()).size() > kMaxNameBytes && !name.own.isEmpty())
        name.own.remove(0, 1);
    return name;
}

QString PrivateName::fileName() const
{
    if (kind == Kind::Temporary)
        return kStart + random + kTemporary;
    QString name = kStart + random + kAside;
    if (journal)
        name += QChar('.') + journalText(*journal);
    if (!own.isEmpty())
        name += QChar('.') + own;
    return name;
}

std::optional<PrivateName> PrivateName::parse(const QString& fileName)
{
    static const QRegularExpression pattern(
        QStringLiteral("^\\.fw-([a-z0-9]{6})(?:(\\.tmp)|\\.del(?:\\.(\\d{4,5})-([0-9a-f]{16}))?(?:\\.(.+))?)$"),
        QRegularExpression::DotMatchesEverythingOption);
    // A name that is not UTF-8 holds lone surrogates (NativeName): matched
    // as they are.
    const QRegularExpressionMatch match = pattern.match(fileName, 0, QRegularExpression::NormalMatch,
                                                        QRegularExpression::DontCheckSubjectStringMatchOption);
    if (!match.hasMatch())
        return std::nullopt;
    if (match.hasCaptured(2))
        return PrivateName{Kind::Temporary, match.captured(1), {}, std::nullopt};
    PrivateName name{Kind::Aside, match.captured(1), match.captured(5), std::nullopt};
    if (match.hasCaptured(3))
        name.journal = Journal{match.captured(3).toInt(), match.captured(4).toULongLong(nullptr, 16)};
    return name;
}

std::uint64_t jpegFingerprint(std::span<const std::uint8_t> bytes)
{
    const QByteArray digest =
        QCryptographicHash::hash(QByteArrayView(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())),
                                 QCryptographicHash::Sha256);
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i)
        value = value << 8 | std::uint8_t(digest[i]);
    return value;
}
