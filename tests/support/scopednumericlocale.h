// Gives the process the numeric conventions of a desktop locale for one scope,
// as a Qt program takes them from LANG / LC_ALL at start-up: the C library's
// LC_NUMERIC and Qt's default QLocale. The German locale writes a decimal
// comma, which is a field separator in several configuration lines.
#pragma once

#include <QLocale>

#include <clocale>
#include <string>

namespace corvina::test {

inline constexpr const char* kCommaLocale = "de_DE.UTF-8";
// What a test says when the system lacks kCommaLocale.
inline constexpr const char* kCommaLocaleMissing =
    "de_DE.UTF-8 is missing: scripts/install-deps makes it";

class ScopedNumericLocale {
public:
    explicit ScopedNumericLocale(const char* name = kCommaLocale) : m_qtSaved(QLocale()) {
        const char* old = std::setlocale(LC_NUMERIC, nullptr);
        m_saved = old ? old : "C";
        m_ok = std::setlocale(LC_NUMERIC, name) != nullptr;
        if (m_ok)
            QLocale::setDefault(QLocale(QString::fromLatin1(name).section(u'.', 0, 0)));
    }
    ~ScopedNumericLocale() {
        std::setlocale(LC_NUMERIC, m_saved.c_str());
        QLocale::setDefault(m_qtSaved);
    }
    ScopedNumericLocale(const ScopedNumericLocale&) = delete;
    ScopedNumericLocale& operator=(const ScopedNumericLocale&) = delete;

    // False when the system lacks the locale (scripts/install-deps generates it).
    bool ok() const { return m_ok; }

private:
    std::string m_saved;
    QLocale m_qtSaved;
    bool m_ok = false;
};

} // namespace corvina::test
