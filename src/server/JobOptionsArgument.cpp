#include "server/JobOptionsArgument.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <vector>

#include "variant/VbError.h"

namespace zel {

namespace {

// The value under the key, removed from the options; an invalid value when it is not given.
QVariant take(QVariantMap& given, const QString& key) {
    for (auto it = given.begin(); it != given.end(); ++it)
        if (it.key().compare(key, Qt::CaseInsensitive) == 0) {
            const QVariant value = it.value();
            given.erase(it);
            return value;
        }
    return {};
}

VbError typeMismatch(const QString& key, const char* type) {
    return VbError(VbErr::TypeMismatch,
                   QStringLiteral("Type mismatch: %1 takes %2").arg(key, QLatin1String(type)));
}

}  // namespace

JobOptions takeJobOptions(QVariantMap& given) {
    JobOptions options;
    const QVariant list = take(given, QStringLiteral("JobOptions"));
    if (list.isValid()) {
        const auto argument = list.value<QDBusArgument>();
        if (list.userType() != qMetaTypeId<QDBusArgument>() ||
            argument.currentSignature() != QLatin1String("a{ss}"))
            throw typeMismatch(QStringLiteral("JobOptions"), "a{ss}");
        std::vector<JobOptions::Option> read;
        qsizetype characters = 0;
        bool past = false;
        argument.beginMap();
        while (!argument.atEnd() && !past) {
            QString name, value;
            argument.beginMapEntry();
            argument >> name >> value;
            argument.endMapEntry();
            characters += name.size() + value.size();
            past = qsizetype(read.size()) == MaxJobOptions || characters > MaxJobOptionsCharacters;
            read.emplace_back(std::move(name), std::move(value));
        }
        // Closed before anything is thrown: until then the argument keeps the whole message.
        argument.endMap();
        if (past)
            throw VbError(VbErr::OutOfMemory,
                          QStringLiteral("%1: JobOptions takes at most %2 options of %3 "
                                         "characters together")
                              .arg(VbError::standardText(VbErr::OutOfMemory))
                              .arg(MaxJobOptions)
                              .arg(MaxJobOptionsCharacters));
        for (const JobOptions::Option& option : read) options.set(option.first, option.second);
    }
    const QVariant title = take(given, QStringLiteral("Title"));
    if (title.isValid()) {
        if (title.userType() != QMetaType::QString)
            throw typeMismatch(QStringLiteral("Title"), "s");
        options.title = title.toString();
    }
    return options;
}

}  // namespace zel
