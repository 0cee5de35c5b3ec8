#include "surface/PdfFont.h"

#include <hb-subset.h>

#include <QList>
#include <QtEndian>
#include <algorithm>
#include <cmath>

#include "surface/PdfWriter.h"
#include "text/FontFace.h"
#include "variant/VbError.h"

namespace zel {

namespace {

int16_t int16At(const QByteArray& table, int offset) {
    if (table.size() < offset + 2) return 0;
    return qFromBigEndian<int16_t>(table.constData() + offset);
}

}  // namespace

PdfFont::PdfFont(const FontFace& face, int object)
    : face_(face), object_(object), glyphCount_(hb_face_get_glyph_count(face.face())) {
    if (!face_.hasTable("glyf") && !face_.cff())
        throw VbError(VbErr::PrinterError,
                      QStringLiteral("Printer error: the font %1 cannot be embedded")
                          .arg(QString::fromUtf8(face_.postScriptName())));
}

double PdfFont::use(uint32_t code, double advance) {
    // A glyph number the face does not have draws its missing-glyph box.
    if (code >= glyphCount_ + aliases_.size()) code = 0;
    if (widths_.size() <= code) widths_.resize(size_t(code) + 1, -1);
    if (!(advance >= 0 && advance < 1e6))
        advance = face_.advance(glyphOf(code)) * 1000.0 / face_.unitsPerEm();
    // Thousandths, as the PDF writes them, so that positions follow from the widths exactly.
    widths_[code] = std::round(advance * 1000) / 1000;
    return widths_[code];
}

uint32_t PdfFont::alias(uint32_t glyph, const QChar* text, int length) {
    if (glyph >= glyphCount_) glyph = 0;
    const size_t key = qHash(QStringView(text, length), glyph);
    for (auto [at, end] = aliasIndex_.equal_range(key); at != end; ++at)
        if (glyphOf(at->second) == glyph && entryPrefix(at->second, text, length) == length)
            return at->second;
    // Codes are two bytes on the page (Identity-H).
    const size_t next = glyphCount_ + aliases_.size();
    if (face_.cff() || next > 0xFFFF || !map(uint32_t(next), text, length)) return NoCode;
    aliases_.push_back(glyph);
    aliasIndex_.emplace(key, uint32_t(next));
    return uint32_t(next);
}

uint32_t PdfFont::codeWithAdvance(uint32_t code, double advance) {
    const double known = width(code);
    if (known < 0 || std::fabs(known - advance) < 0.5 || face_.cff()) return code;
    const auto key = std::make_pair(code, std::llround(advance));
    if (const auto found = widened_.find(key); found != widened_.end()) return found->second;
    const size_t next = glyphCount_ + aliases_.size();
    if (next > 0xFFFF) return code;
    aliases_.push_back(glyphOf(code));
    if (unicode_.size() <= next) unicode_.resize(next + 1, 0);
    unicode_[next] = code < unicode_.size() ? unicode_[code] : 0;
    widened_.emplace(key, uint32_t(next));
    return uint32_t(next);
}

int PdfFont::entryPrefix(uint32_t code, const QChar* text, int length) const {
    const int32_t mapped = code < unicode_.size() ? unicode_[code] : 0;
    if (mapped > 0) {
        const char32_t c = char32_t(mapped);
        const int units = c > 0xFFFF ? 2 : 1;
        if (length < units) return -1;
        const char32_t given =
            units == 2 ? QChar::surrogateToUcs4(text[0], text[1]) : text[0].unicode();
        return given == c ? units : -1;
    }
    if (mapped == 0) return -1;
    const QString& entry = strings_[size_t(-mapped - 1)];
    return QStringView(text, std::min<qsizetype>(length, entry.size())) == entry ? int(entry.size())
                                                                                 : -1;
}

void PdfFont::clusterCodes(const uint32_t* glyphs, int count, const QChar* text, int length,
                           uint32_t* codes) {
    // A glyph that is a character's own glyph gives that character; the first glyph written, if
    // it is none (a ligature, a vowel drawn before its consonant), the whole cluster.
    for (int n = 0; n < count; ++n) {
        codes[n] = glyphs[n];
        if (glyphs[n] == 0) continue;
        bool own = false;
        for (int i = 0; i < length && !own;) {
            const int start = i;
            const char32_t c = QChar::isHighSurrogate(text[i].unicode()) && i + 1 < length
                                   ? QChar::surrogateToUcs4(text[i], text[i + 1])
                                   : text[i].unicode();
            i += c > 0xFFFF ? 2 : 1;
            if (face_.glyph(c) == glyphs[n]) {
                mapsTo(glyphs[n], text + start, i - start);
                own = true;
            }
        }
        if (!own && n == 0) mapsTo(glyphs[n], text, length);
    }
    int at = 0;
    for (int n = 0; n < count && at >= 0; ++n) {
        const int taken = entryPrefix(glyphs[n], text + at, length - at);
        at = taken > 0 ? at + taken : -1;
    }
    if (at == length) return;
    // The characters dealt out in even shares, so that a long cluster's entries stay short
    // (MuPDF ignores an entry of more than eight UTF-16 units).
    QList<uint> characters = QStringView(text, length).toUcs4();
    if (characters.size() < count)
        characters =
            QStringView(text, length).toString().normalized(QString::NormalizationForm_D).toUcs4();
    if (characters.size() < count) return;
    std::vector<uint32_t> dealt(static_cast<size_t>(count));
    const auto share = [&](int n) { return qsizetype(n) * characters.size() / count; };
    for (int n = 0; n < count; ++n) {
        const QString part =
            QString::fromUcs4(reinterpret_cast<const char32_t*>(characters.constData()) + share(n),
                              share(n + 1) - share(n));
        dealt[size_t(n)] = code(glyphs[n], part.constData(), int(part.size()));
        if (dealt[size_t(n)] == NoCode) return;
    }
    std::copy(dealt.begin(), dealt.end(), codes);
}

bool PdfFont::map(uint32_t glyph, const QChar* text, int length) {
    // A map entry holds a few characters; a longer cluster is given back by the page itself.
    constexpr int LongestEntry = 64;
    if (length <= 0 || length > LongestEntry) return false;
    if (unicode_.size() <= glyph) unicode_.resize(size_t(glyph) + 1, 0);
    int32_t& mapped = unicode_[glyph];
    const bool single =
        length == 1 || (length == 2 && text[0].isHighSurrogate() && text[1].isLowSurrogate());
    const int32_t own = length == 1
                            ? int32_t(text[0].unicode())
                            : (single ? int32_t(QChar::surrogateToUcs4(text[0], text[1])) : 0);
    if (mapped == 0) {
        if (single && own != 0) {
            mapped = own;
        } else {
            strings_.emplace_back(text, length);
            mapped = -int32_t(strings_.size());
        }
        return true;
    }
    if (mapped > 0) return single && mapped == own;
    return strings_[size_t(-mapped - 1)] == QStringView(text, length);
}

QByteArray PdfFont::subsetName() const {
    // Six capitals that differ between subsets of one font, as readers expect of a subset.
    uint32_t hash = 2166136261u;
    for (size_t glyph = 0; glyph < widths_.size(); ++glyph)
        if (widths_[glyph] >= 0) hash = (hash ^ uint32_t(glyph)) * 16777619u;
    QByteArray tag(6, 'A');
    for (char& c : tag) {
        c = char('A' + hash % 26);
        hash /= 26;
    }
    return tag + '+' + face_.postScriptName();
}

QByteArray PdfFont::subset() const {
    hb_subset_input_t* input = hb_subset_input_create_or_fail();
    if (!input) return face_.fileData();
    hb_set_t* glyphs = hb_subset_input_glyph_set(input);
    hb_set_add(glyphs, 0);
    for (size_t code = 0; code < widths_.size(); ++code)
        if (widths_[code] >= 0) hb_set_add(glyphs, glyphOf(uint32_t(code)));
    // The page content names glyphs by their numbers in the whole font; the PDF renders from
    // the outlines alone, so hinting and the shaping tables stay behind. The missing-glyph box
    // keeps its outline: it is what a character no font has prints as.
    hb_subset_input_set_flags(input, HB_SUBSET_FLAGS_RETAIN_GIDS | HB_SUBSET_FLAGS_NO_HINTING |
                                         HB_SUBSET_FLAGS_NOTDEF_OUTLINE);
    hb_set_t* dropped = hb_subset_input_set(input, HB_SUBSET_SETS_DROP_TABLE_TAG);
    for (const char* tag : {"GSUB", "GPOS", "GDEF", "BASE", "JSTF", "kern", "morx", "feat"})
        hb_set_add(dropped, HB_TAG(tag[0], tag[1], tag[2], tag[3]));
    hb_face_t* cut = hb_subset_or_fail(face_.face(), input);
    hb_subset_input_destroy(input);
    if (!cut) return face_.fileData();  // the whole font still prints every glyph
    // The subsetter's face lists no tables: read its tables back from the file it makes.
    hb_blob_t* cutFile = hb_face_reference_blob(cut);
    hb_face_t* subset = hb_face_create(cutFile, 0);
    const QByteArray out = sfntOf(subset, face_.cff(), advances(subset));
    hb_face_destroy(subset);
    hb_blob_destroy(cutFile);
    hb_face_destroy(cut);
    return out;
}

std::map<hb_tag_t, QByteArray> PdfFont::advances(hb_face_t* subset) const {
    const hb_tag_t hheaTag = HB_TAG('h', 'h', 'e', 'a'), hmtxTag = HB_TAG('h', 'm', 't', 'x');
    QByteArray hhea = tableOf(subset, hheaTag);
    const QByteArray hmtx = tableOf(subset, hmtxTag);
    const int glyphs = uint16_t(int16At(tableOf(subset, HB_TAG('m', 'a', 'x', 'p')), 4));
    const int metrics = uint16_t(int16At(hhea, 34));  // glyphs after these repeat the last advance
    if (hhea.size() < 36 || metrics == 0 || metrics > glyphs ||
        hmtx.size() < 4 * metrics + 2 * (glyphs - metrics))
        return {};

    // One advance a glyph: its own code's width, else the first of the codes that draw it.
    std::vector<int> advance(size_t(glyphs), -1);
    for (size_t code = 0; code < widths_.size(); ++code) {
        const uint32_t glyph = glyphOf(uint32_t(code));
        if (widths_[code] >= 0 && glyph < uint32_t(glyphs) && advance[glyph] < 0)
            advance[glyph] = int(std::lround(widths_[code] * face_.unitsPerEm() / 1000));
    }
    QByteArray metricsOut(4 * qsizetype(glyphs), Qt::Uninitialized);
    uint16_t widest = 0;
    for (int glyph = 0; glyph < glyphs; ++glyph) {
        const int own = std::min(glyph, metrics - 1) * 4;
        const uint16_t width = advance[size_t(glyph)] >= 0
                                   ? uint16_t(std::min(advance[size_t(glyph)], 0xFFFF))
                                   : uint16_t(int16At(hmtx, own));
        const int16_t bearing =
            int16At(hmtx, glyph < metrics ? own + 2 : 4 * metrics + 2 * (glyph - metrics));
        qToBigEndian(width, metricsOut.data() + 4 * glyph);
        qToBigEndian(bearing, metricsOut.data() + 4 * glyph + 2);
        widest = std::max(widest, width);
    }
    qToBigEndian(widest, hhea.data() + 10);
    qToBigEndian(uint16_t(glyphs), hhea.data() + 34);
    return {{hheaTag, hhea}, {hmtxTag, metricsOut}};
}

void PdfFont::write(PdfWriter& pdf) const {
    const int cidFont = pdf.reserve(), descriptor = pdf.reserve(), file = pdf.reserve(),
              toUnicode = pdf.reserve(), glyphMap = aliases_.empty() ? 0 : pdf.reserve();
    const bool cff = face_.cff();
    const QByteArray name = subsetName();
    const QByteArray head = face_.table("head");
    const QByteArray hhea = face_.table("hhea");
    const QByteArray os2 = face_.table("OS/2");
    const QByteArray post = face_.table("post");
    const int unitsPerEm = face_.unitsPerEm();
    const auto scaled = [unitsPerEm](int units) {
        return QByteArray::number(units * 1000 / unitsPerEm);
    };

    pdf.beginObject(object_);
    pdf.write("<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
              " /Encoding /Identity-H /DescendantFonts [" + QByteArray::number(cidFont) +
              " 0 R] /ToUnicode " + QByteArray::number(toUnicode) + " 0 R >>\n");
    pdf.endObject();

    // Widths of the glyphs used only, as ranges "first last width" over the used glyphs of one
    // width (the glyphs between them are never drawn, so their widths do not matter): a
    // fixed-pitch font needs one range. Readers take the default width in whole units only.
    QByteArray widths;
    for (size_t glyph = 0; glyph < widths_.size();) {
        const double width = widths_[glyph];
        size_t last = glyph, next = glyph + 1;
        for (; next < widths_.size(); ++next) {
            if (widths_[next] < 0) continue;
            if (widths_[next] != width) break;
            last = next;
        }
        if (width >= 0) {
            widths += QByteArray::number(qulonglong(glyph)) + ' ' +
                      QByteArray::number(qulonglong(last)) + ' ';
            appendNumber(widths, width);
            widths += ' ';
        }
        glyph = next;
    }
    pdf.beginObject(cidFont);
    pdf.write("<< /Type /Font /Subtype /" + QByteArray(cff ? "CIDFontType0" : "CIDFontType2") +
              " /BaseFont /" + name +
              " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
              " /FontDescriptor " +
              QByteArray::number(descriptor) + " 0 R /W [" + widths + "]" +
              (cff ? QByteArray()
                   : " /CIDToGIDMap " + (glyphMap ? QByteArray::number(glyphMap) + " 0 R"
                                                  : QByteArray("/Identity"))) +
              " >>\n");
    pdf.endObject();
    if (glyphMap) {
        // Two bytes a code: the face's own numbers, then the glyphs of the codes after them.
        QByteArray map(qsizetype(glyphCount_ + aliases_.size()) * 2, Qt::Uninitialized);
        for (uint32_t code = 0; code < glyphCount_ + aliases_.size(); ++code) {
            const uint32_t glyph = glyphOf(code);
            map[code * 2] = char(glyph >> 8);
            map[code * 2 + 1] = char(glyph);
        }
        pdf.stream(glyphMap, QByteArray(), map);
    }

    const int capHeight = uint16_t(int16At(os2, 0)) >= 2 ? int16At(os2, 88) : int16At(hhea, 4);
    pdf.beginObject(descriptor);
    pdf.write("<< /Type /FontDescriptor /FontName /" + name + " /Flags " +
              QByteArray::number(face_.fixedPitch() ? 5 : 4) + " /FontBBox [" +
              scaled(int16At(head, 36)) + ' ' + scaled(int16At(head, 38)) + ' ' +
              scaled(int16At(head, 40)) + ' ' + scaled(int16At(head, 42)) + "] /ItalicAngle " +
              QByteArray::number(int16At(post, 4)) + " /Ascent " + scaled(int16At(hhea, 4)) +
              " /Descent " + scaled(int16At(hhea, 6)) + " /CapHeight " + scaled(capHeight) +
              " /StemV 80 /" + (cff ? "FontFile3 " : "FontFile2 ") + QByteArray::number(file) +
              " 0 R >>\n");
    pdf.endObject();

    const QByteArray data = subset();
    pdf.stream(
        file,
        cff ? QByteArray("/Subtype /OpenType") : "/Length1 " + QByteArray::number(data.size()),
        data);

    QByteArray cmap =
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
        "1 begincodespacerange <0000> <FFFF> endcodespacerange\n";
    std::vector<std::pair<uint32_t, QString>> entries;
    for (size_t glyph = 0; glyph < unicode_.size(); ++glyph) {
        const int32_t mapped = unicode_[glyph];
        if (mapped > 0) {
            const char32_t c = char32_t(mapped);
            entries.emplace_back(uint32_t(glyph), QString::fromUcs4(&c, 1));
        } else if (mapped < 0) {
            entries.emplace_back(uint32_t(glyph), strings_[size_t(-mapped - 1)]);
        }
    }
    for (size_t i = 0; i < entries.size(); i += 100) {
        const size_t end = std::min(entries.size(), i + 100);
        cmap += QByteArray::number(qulonglong(end - i)) + " beginbfchar\n";
        for (size_t j = i; j < end; ++j) {
            cmap += '<';
            appendHex(cmap, char16_t(entries[j].first));
            cmap += "> <";
            for (const QChar c : entries[j].second) appendHex(cmap, c.unicode());
            cmap += ">\n";
        }
        cmap += "endbfchar\n";
    }
    cmap +=
        "endcmap CMapName currentdict /CIDInit /ProcSet findresource /defineresource pop end "
        "end\n";
    pdf.stream(toUnicode, QByteArray(), cmap);
}

}  // namespace zel
