#include "core/NumberText.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

int NumberAtStart(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(0).trimmed().toDouble();
    return static_cast<int>(std::nearbyint(std::clamp(value, -2147483648.0, 2147483647.0)));
}
