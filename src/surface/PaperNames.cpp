#include "surface/PaperNames.h"

#include <QFile>
#include <QStringList>

namespace zel {

namespace {

const pwg_media_t* paperSpelled(const QString& name) {
    const QByteArray bytes = name.toUtf8();
    if (const pwg_media_t* paper = pwgMediaForPWG(bytes.constData())) return paper;
    if (const pwg_media_t* paper = pwgMediaForLegacy(bytes.constData())) return paper;
    return pwgMediaForPPD(bytes.constData());
}

QString capitalised(const QString& word) {
    return word.left(1).toUpper() + word.mid(1).toLower();
}

// The spellings libcups's tables use for a name typed in another case: PWG and legacy names
// are lower case; PPD names are capitalised words ("Letter"), capitals ("A5", "B5") or
// envelopes ("EnvDL", "EnvMonarch", "Env10").
QStringList spellings(const QString& name) {
    QStringList forms = {name, name.toLower(), name.toUpper(), capitalised(name)};
    if (name.startsWith(QLatin1String("env"), Qt::CaseInsensitive)) {
        const QString rest = name.mid(3);
        forms << QStringLiteral("Env") + rest.toUpper()
              << QStringLiteral("Env") + capitalised(rest);
    }
    return forms;
}

}  // namespace

const pwg_media_t* paperNamed(const QString& media) {
    const QString name = media.section(u',', 0, 0).trimmed();
    if (name.isEmpty()) return nullptr;
    for (const QString& form : spellings(name))
        if (const pwg_media_t* paper = paperSpelled(form)) return paper;
    return nullptr;
}

const pwg_media_t& systemPaper() {
    // libpaper's own name where CUPS means another sheet by it (its "B5" is JIS B5).
    static const QString isoB5 = QStringLiteral("iso_b5_176x250mm");
    const pwg_media_t& a4 = *pwgMediaForPWG("iso_a4_210x297mm");
    QFile file(QStringLiteral("/etc/papersize"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return a4;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed().toLower();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        if (const pwg_media_t* paper = paperNamed(line == QLatin1String("b5") ? isoB5 : line))
            return *paper;
        break;
    }
    return a4;
}

}  // namespace zel
