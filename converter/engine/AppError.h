#pragma once

#include <QString>
#include <stdexcept>

// An error with a number, a source and a description, as the JPEG writer
// raises them ("26001", "framewright.mIntelJPEGLibrary", "Failed to save...").
class AppError : public std::runtime_error {
public:
    AppError(int number, QString source, QString description)
        : std::runtime_error(description.toStdString()), m_number(number), m_source(std::move(source)),
          m_description(std::move(description))
    {
    }

    int number() const { return m_number; }
    const QString& source() const { return m_source; }
    const QString& description() const { return m_description; }

private:
    int m_number;
    QString m_source;
    QString m_description;
};
