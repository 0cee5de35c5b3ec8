#include "surface/PaperNames.h"

#include <QFile>
#include <QSizeF>
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

QPageSize pageSizeOf(const pwg_media_t& paper) {
    return QPageSize(QSizeF(paper.width / 100.0, paper.length / 100.0), QPageSize::Millimeter);
}

QPageSize systemPaper() {
    // libpaper's own names where CUPS means another sheet by them (its "B5" is JIS B5).
    struct Paper {
        const char* name;
        QPageSize::PageSizeId id;
    };
    static constexpr Paper papers[] = {
        {"a3", QPageSize::A3},
        {"a4", QPageSize::A4},
        {"a5", QPageSize::A5},
        {"b5", QPageSize::B5},
        {"letter", QPageSize::Letter},
        {"legal", QPageSize::Legal},
        {"executive", QPageSize::Executive},
    };
    QFile file(QStringLiteral("/etc/papersize"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return QPageSize(QPageSize::A4);
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed().toLower();
        if (line.isEmpty() || line.startsWith(u'#')) continue;
        for (const Paper& paper : papers)
            if (line == QLatin1String(paper.name)) return QPageSize(paper.id);
        if (const pwg_media_t* paper = paperNamed(line)) return pageSizeOf(*paper);
        break;
    }
    return QPageSize(QPageSize::A4);
}

}  // namespace zel
