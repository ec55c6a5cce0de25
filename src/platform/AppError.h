#pragma once

#include <QString>
#include <stdexcept>

// An error whose text is shown to the user by the handler guard. Handlers throw it where the
// old program raised an exception and let the general error display report it.
class AppError : public std::runtime_error {
  public:
    explicit AppError(const QString& text) : std::runtime_error(text.toStdString()), m_text(text) {}
    const QString& text() const { return m_text; }

  private:
    QString m_text;
};

// Ends the running handler quietly: whoever threw it has already told the user.
class SilentAbort {};
