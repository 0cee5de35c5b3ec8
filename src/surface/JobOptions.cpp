#include "surface/JobOptions.h"

#include <cups/cups.h>

#include <QStringList>
#include <algorithm>

#include "variant/VbError.h"

namespace zel {

namespace {

bool needsQuotes(const QString& value) {
    return value.isEmpty() || std::any_of(value.begin(), value.end(), [](QChar c) {
               return c.isSpace() || c == u'"' || c == u'\'' || c == u'\\';
           });
}

}  // namespace

void JobOptions::set(const QString& name, const QString& value) {
    if (name.isEmpty() || needsQuotes(name) || name.contains(u'='))
        throw VbError(VbErr::InvalidProcedureCall,
                      QStringLiteral("Invalid procedure call or argument: option name '%1'")
                          .arg(shownInError(name)));
    const auto found = index_.constFind(name);
    if (found != index_.constEnd()) {
        options_[*found].second = value;
        return;
    }
    index_.insert(name, options_.size());
    options_.emplace_back(name, value);
}

void JobOptions::parse(const QString& text) {
    // libcups reads lp's option syntax (quotes, backslashes, "noNAME"), as lp itself does.
    cups_option_t* parsed = nullptr;
    const int count = cupsParseOptions(text.toUtf8().constData(), 0, &parsed);
    for (int i = 0; i < count; ++i)
        set(QString::fromUtf8(parsed[i].name), QString::fromUtf8(parsed[i].value));
    cupsFreeOptions(count, parsed);
}

QString JobOptions::value(const QString& name) const {
    const auto found = index_.constFind(name);
    return found == index_.constEnd() ? QString() : options_[*found].second;
}

bool JobOptions::contains(const QString& name) const {
    return index_.contains(name);
}

QString JobOptions::text() const {
    QStringList words;
    for (const Option& option : options_) {
        QString value = option.second;
        if (needsQuotes(value)) {
            value.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
            value = u'"' + value + u'"';
        }
        words << option.first + u'=' + value;
    }
    return words.join(u' ');
}

JobOptions JobOptions::without(const QStringList& names) const {
    JobOptions kept = *this;
    kept.options_.erase(
        std::remove_if(kept.options_.begin(), kept.options_.end(),
                       [&names](const Option& o) { return names.contains(o.first); }),
        kept.options_.end());
    return kept;
}

JobOptions JobOptions::over(const JobOptions& base) const {
    JobOptions merged = base;
    for (const Option& option : options_) merged.set(option.first, option.second);
    if (!title.isEmpty()) merged.title = title;
    return merged;
}

}  // namespace zel
