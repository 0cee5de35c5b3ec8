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

// The paper's name as libpaper finds it, in lower case: $PAPERSIZE, else the first line of the
// file $PAPERCONF (/etc/papersize when unset) that is neither blank nor a comment; empty when
// neither names one.
QString systemPaperName() {
    const QString set = qEnvironmentVariable("PAPERSIZE").trimmed();
    if (!set.isEmpty()) return set.toLower();
    QFile file(qEnvironmentVariable("PAPERCONF", QStringLiteral("/etc/papersize")));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return QString();
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed().toLower();
        if (!line.isEmpty() && !line.startsWith(u'#')) return line;
    }
    return QString();
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
    // libpaper's common names, by the PWG names of the sheets libpaper means (CUPS's "B5" is JIS
    // B5, libpaper's ISO B5): one table of libcups to look in, where paperNamed may need three.
    // Any other name is looked up as the option media is.
    struct Paper {
        const char* name;
        const char* pwg;
    };
    static constexpr Paper papers[] = {
        {"a3", "iso_a3_297x420mm"},
        {"a4", "iso_a4_210x297mm"},
        {"a5", "iso_a5_148x210mm"},
        {"b5", "iso_b5_176x250mm"},
        {"letter", "na_letter_8.5x11in"},
        {"legal", "na_legal_8.5x14in"},
        {"executive", "na_executive_7.25x10.5in"},
    };
    const QString name = systemPaperName();
    for (const Paper& paper : papers)
        if (name == QLatin1String(paper.name)) return *pwgMediaForPWG(paper.pwg);
    if (const pwg_media_t* paper = paperNamed(name)) return *paper;
    return *pwgMediaForPWG(papers[1].pwg);
}

}  // namespace zel
