#include "server/PythonMembers.h"

#include <QStringList>

#include "server/Members.h"

namespace zel {

namespace {

const int kWidth = 99;

QString pythonType(ArgKind kind) {
    switch (kind) {
        case ArgKind::Long:
            return QStringLiteral("int");
        case ArgKind::Number:
            return QStringLiteral("Number");
        case ArgKind::Text:
            return QStringLiteral("str");
        case ArgKind::Boolean:
            return QStringLiteral("bool");
        case ArgKind::Any:
            break;
    }
    // By name: the union it stands for would fill the signature that help() shows.
    return QStringLiteral("\"Value\"");
}

QString pythonType(const PropertySpec& property) {
    if (property.type == QLatin1String("b")) return QStringLiteral("bool");
    if (property.type == QLatin1String("v")) return pythonType(property.kind);
    return QStringLiteral("int");
}

QString pythonDefault(const OptionalParameter& option) {
    if (option.boolean)
        return option.fallback.toBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    if (option.fallback.isMissing() || option.fallback.isEmpty()) return QStringLiteral("OMITTED");
    return option.fallback.toString();
}

// Words joined into lines of at most kWidth characters, each line after the first starting
// with the indent. The texts hold no quotes or backslashes (the tables' test sees to that), so
// they go into docstrings as they are.
QString wrapped(const QStringList& words, const QString& firstIndent, const QString& indent,
                const QString& separator = QStringLiteral(" ")) {
    QStringList lines;
    QString line = firstIndent;
    bool empty = true;
    for (const QString& word : words) {
        if (!empty && line.size() + separator.size() + word.size() > kWidth) {
            lines << line + separator.trimmed();
            line = indent + word;
        } else {
            line += (empty ? QString() : separator) + word;
        }
        empty = false;
    }
    lines << line;
    return lines.join(QLatin1Char('\n'));
}

QString paragraph(const QString& text, const QString& indent) {
    return wrapped(text.split(QLatin1Char(' '), Qt::SkipEmptyParts), indent, indent);
}

QString docstring(const QString& summary, const QStringList& items, const QString& indent) {
    // The summary's first line follows the quotes.
    QString text = wrapped(summary.split(QLatin1Char(' '), Qt::SkipEmptyParts),
                           indent + QStringLiteral("\"\"\""), indent);
    for (const QString& item : items) text += QStringLiteral("\n\n") + paragraph(item, indent);
    return text + QStringLiteral("\n") + indent + QStringLiteral("\"\"\"\n");
}

QString returnType(const MethodSpec& method) {
    const QString value = pythonType(ArgKind::Any);
    QString result = method.result == ResultKind::Boolean ? QStringLiteral("bool")
                     : method.result == ResultKind::Value ? value
                                                          : QStringLiteral("None");
    if (method.writtenBack.empty()) return result;
    QStringList types{result};
    for (size_t i = 0; i < method.writtenBack.size(); ++i) types << value;
    return QStringLiteral("tuple[%1]").arg(types.join(QStringLiteral(", ")));
}

// A dictionary of the parameters by name, as the words of a call that wrapped() breaks.
QStringList dictOf(const QStringList& names) {
    QStringList entries;
    for (const QString& name : names) entries << QStringLiteral("\"%1\": %1").arg(name);
    if (entries.isEmpty()) return {QStringLiteral("{}")};
    entries.first().prepend(QLatin1Char('{'));
    entries.last().append(QLatin1Char('}'));
    return entries;
}

QString methodPython(const MethodSpec& method) {
    QStringList parameters{QStringLiteral("self")};
    QStringList required;
    QStringList optional;
    QStringList items;
    for (const Parameter& parameter : method.required) {
        parameters << QStringLiteral("%1: %2").arg(parameter.name, pythonType(parameter.kind));
        required << parameter.name;
        items << parameter.name + QStringLiteral(": ") + parameter.doc;
    }
    if (!method.optional.empty()) parameters << QStringLiteral("*");
    for (const OptionalParameter& option : method.optional) {
        parameters << QStringLiteral("%1: %2 = %3")
                          .arg(option.name, pythonType(option.kind), pythonDefault(option));
        optional << option.name;
        items << option.name + QStringLiteral(": ") + option.doc;
    }
    // Keys the table does not know go to the server, which names them in error 448.
    if (!method.optional.empty())
        parameters << QStringLiteral("**named: ") + pythonType(ArgKind::Any);
    parameters.last() += QStringLiteral(") -> %1:").arg(returnType(method));
    const QString head = QStringLiteral("    def %1(").arg(method.name);
    QString text =
        wrapped(parameters, head, QString(head.size(), QLatin1Char(' ')), QStringLiteral(", ")) +
        QLatin1Char('\n');
    text += docstring(method.doc, items, QStringLiteral("        "));
    QStringList call = QStringList{QStringLiteral("\"%1\"").arg(method.name)} + dictOf(required) +
                       dictOf(optional);
    if (!method.optional.empty()) call << QStringLiteral("named");
    call.last().append(QLatin1Char(')'));
    const QString start = QStringLiteral("        return self._member(");
    return text +
           wrapped(call, start, QString(start.size(), QLatin1Char(' ')), QStringLiteral(", ")) +
           QStringLiteral("\n\n");
}

QString propertyPython(const PropertySpec& property) {
    const QString type = pythonType(property);
    return QStringLiteral(
               "    @property\n"
               "    def %1(self) -> %2:\n"
               "%3"
               "        return self._get(\"%1\")\n"
               "\n"
               "    @%1.setter\n"
               "    def %1(self, value: %2) -> None:\n"
               "        self._set(\"%1\", value)\n"
               "\n")
        .arg(property.name, type,
             docstring(property.doc, {QStringLiteral("Type: ") + QString(type).remove(u'"')},
                       QStringLiteral("        ")));
}

const char* const kHead =
    "\"\"\"Every member of a print object with its signature and documentation, every public\n"
    "variable and property as an attribute. Made by `zelprint interface --python` from the tables\n"
    "that drive the server: do not edit (a test fails when this file and the tables differ).\n"
    "\"\"\"\n"
    "# The names are the members' own.\n"
    "# pylint: disable=invalid-name,too-many-arguments,too-many-public-methods,too-many-lines\n"
    "from .values import OMITTED, Number, Value\n"
    "\n"
    "\n"
    "class Members:\n"
    "    \"\"\"The members of clsPrint: required parameters by position (or name), optional ones "
    "by\n"
    "    keyword; an optional parameter left OMITTED is not sent, so the member's own rule\n"
    "    applies.\"\"\"\n"
    "\n"
    "    __slots__ = ()\n"
    "\n"
    "    def _member(self, name, required, optional, named=None):\n"
    "        raise NotImplementedError\n"
    "\n"
    "    def _get(self, name):\n"
    "        raise NotImplementedError\n"
    "\n"
    "    def _set(self, name, value):\n"
    "        raise NotImplementedError\n"
    "\n";

}  // namespace

QString pythonMembers() {
    QString text = QLatin1String(kHead);
    for (const MethodSpec& method : clsPrintMethods()) text += methodPython(method);
    for (const PropertySpec& property : clsPrintProperties()) text += propertyPython(property);
    text.chop(1);  // one line end at the end
    return text;
}

}  // namespace zel
