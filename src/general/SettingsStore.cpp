#include "general/SettingsStore.h"

#include <QDir>
#include <QSettings>
#include <cmath>

#include "variant/VbError.h"

namespace zel {

namespace {

QString configHome() {
    // Relative values are invalid by the XDG rules and are ignored.
    const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
    return QDir::isAbsolutePath(xdg) ? xdg : QDir::homePath() + QStringLiteral("/.config");
}

QString& appTitle() {
    static QString title = QStringLiteral("ZelPrintDemo");
    return title;
}

}  // namespace

QString SettingsFilePath(const QString& app) {
    QString name = app;
    name.replace(u'/', u'_');
    return configHome() + QStringLiteral("/ZelPrintDemo/") + name + QStringLiteral(".ini");
}

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue) {
    QSettings store(SettingsFilePath(app), QSettings::IniFormat);
    store.beginGroup(section);
    return store.value(key, defaultValue).toString();
}

void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value) {
    QSettings store(SettingsFilePath(app), QSettings::IniFormat);
    store.beginGroup(section);
    store.setValue(key, value);
    store.endGroup();
    store.sync();
    if (store.status() != QSettings::NoError)
        throw VbError(VbErr::PathFileAccessError,
                      VbError::standardText(VbErr::PathFileAccessError) + QStringLiteral(": ") +
                          shownInError(store.fileName()));
}

QString AppTitle() {
    return appTitle();
}

void setAppTitle(const QString& title) {
    appTitle() = title;
}

double LeadingNumber(const QString& text) {
    QString compact;
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n') compact += c;
    }
    qsizetype end = 0;
    const auto skipSign = [&] {
        if (end < compact.size() && (compact[end] == u'+' || compact[end] == u'-')) ++end;
    };
    const auto skipDigits = [&] {
        const qsizetype from = end;
        while (end < compact.size() && compact[end] >= u'0' && compact[end] <= u'9') ++end;
        return end - from;
    };

    skipSign();
    qsizetype digits = skipDigits();
    if (end < compact.size() && compact[end] == u'.') {
        ++end;
        digits += skipDigits();
    }
    if (digits == 0) return 0;
    const qsizetype mantissaEnd = end;
    if (end < compact.size() && QStringLiteral("eEdD").contains(compact[end])) {
        compact[end++] = u'e';
        skipSign();
        if (skipDigits() == 0) end = mantissaEnd;
    }
    bool ok = false;
    const double value = compact.left(end).toDouble(&ok);
    // This well-formed number fails only beyond a Double (an infinity) or below its smallest
    // magnitude, which reads as 0.
    if (!ok && std::isinf(value)) throw VbError(VbErr::Overflow);
    return ok ? value : 0.0;
}

}  // namespace zel
