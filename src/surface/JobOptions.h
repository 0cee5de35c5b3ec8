#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace zel {

// What the owner of a job asks for beside its destination: CUPS options by their names and
// values (copies, sides, media, print-color-mode, page-ranges, ...) and a title. A later value
// of a name replaces the earlier one; the order of first setting is kept.
class JobOptions {
public:
    using Option = std::pair<QString, QString>;

    // 5 (invalid procedure call) for an empty name or one with a blank, a quote or '='.
    void set(const QString& name, const QString& value);
    // Options written as lp takes them after -o: "name=value name2='a b'", "name" (true),
    // "noname" (false), several in one text.
    void parse(const QString& text);
    QString value(const QString& name) const;  // empty when not set
    bool contains(const QString& name) const;
    bool isEmpty() const { return options_.empty(); }
    const std::vector<Option>& all() const { return options_; }
    // The form parse reads back, values quoted where they need it.
    QString text() const;
    // These options but the named ones, with the title.
    JobOptions without(const QStringList& names) const;
    // These options and title over base's: base's stay where these set nothing.
    JobOptions over(const JobOptions& base) const;

    QString title;  // empty: the application's title

private:
    std::vector<Option> options_;
    // Where each name is in options_, so that setting many options takes linear time.
    QHash<QString, size_t> index_;
};

}  // namespace zel
