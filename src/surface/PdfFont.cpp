#include "surface/PdfFont.h"

#include <QtEndian>
#include <algorithm>

#include "surface/PdfWriter.h"
#include "variant/VbError.h"

namespace zel {

namespace {

// The tables a viewer or printer needs to render the font, in tag order.
const char* const kTables[] = {"CFF ", "OS/2", "cmap", "cvt ", "fpgm", "gasp", "glyf", "head",
                               "hhea", "hmtx", "loca", "maxp", "name", "post", "prep"};

int16_t int16At(const QByteArray& table, int offset) {
    if (table.size() < offset + 2) return 0;
    return qFromBigEndian<int16_t>(table.constData() + offset);
}

uint32_t checksum(const QByteArray& data) {
    uint32_t sum = 0;
    for (qsizetype i = 0; i < data.size(); i += 4) {
        uint32_t word = 0;
        for (int b = 0; b < 4; ++b)
            word = word << 8 | uint8_t(i + b < data.size() ? data[i + b] : 0);
        sum += word;
    }
    return sum;
}

void append32(QByteArray& out, uint32_t value) {
    char bytes[4];
    qToBigEndian(value, bytes);
    out.append(bytes, 4);
}

void append16(QByteArray& out, uint16_t value) {
    char bytes[2];
    qToBigEndian(value, bytes);
    out.append(bytes, 2);
}

// The font file made of its tables (an sfnt): the directory, then each table padded to 4 bytes.
QByteArray fontFile(const QRawFont& font, bool cff) {
    std::vector<std::pair<QByteArray, QByteArray>> tables;
    for (const char* tag : kTables) {
        QByteArray data = font.fontTable(tag);
        if (!data.isEmpty()) tables.emplace_back(tag, data);
    }
    const uint16_t count = uint16_t(tables.size());
    uint16_t power = 1, log = 0;
    while (power * 2 <= count) power *= 2, ++log;
    QByteArray file;
    append32(file, cff ? 0x4F54544F : 0x00010000);  // "OTTO" or TrueType
    append16(file, count);
    append16(file, uint16_t(power * 16));
    append16(file, log);
    append16(file, uint16_t(count * 16 - power * 16));
    uint32_t offset = 12 + 16 * count;
    qsizetype headAt = -1;
    for (auto& [tag, data] : tables) {
        if (tag == "head" && data.size() >= 12) {
            data[8] = data[9] = data[10] = data[11] = 0;  // checkSumAdjustment, set below
            headAt = offset;
        }
        file += tag;
        append32(file, checksum(data));
        append32(file, offset);
        append32(file, uint32_t(data.size()));
        offset += uint32_t((data.size() + 3) & ~3);
    }
    for (const auto& entry : tables) {
        file += entry.second;
        file += QByteArray((4 - entry.second.size() % 4) % 4, '\0');
    }
    if (headAt >= 0) qToBigEndian(uint32_t(0xB1B0AFBA - checksum(file)), file.data() + headAt + 8);
    return file;
}

QByteArray hex4(uint32_t value) {
    return QByteArray::number(value, 16).rightJustified(4, '0').toUpper();
}

// A PDF name of the font's PostScript-like name: letters and digits only.
QByteArray baseName(const QRawFont& font) {
    QByteArray name;
    for (const QChar c : font.familyName() + QLatin1Char('-') + font.styleName())
        if (c.isLetterOrNumber() && c.unicode() < 128)
            name += char(c.unicode());
        else if (c == QLatin1Char('-'))
            name += '-';
    return name.isEmpty() ? QByteArray("Font") : name;
}

}  // namespace

PdfFont::PdfFont(const QRawFont& font, int object)
    : font_(font), object_(object), bmp_(0x10000, -1) {
    cff_ = font_.fontTable("glyf").isEmpty();
    if (cff_ && font_.fontTable("CFF ").isEmpty())
        throw VbError(VbErr::PrinterError,
                      QStringLiteral("Printer error: the font %1 cannot be embedded")
                          .arg(font_.familyName()));
    const QByteArray head = font_.fontTable("head");
    unitsPerEm_ = std::max<int>(16, uint16_t(int16At(head, 18)));
    longMetrics_ = uint16_t(int16At(font_.fontTable("hhea"), 34));
    hmtx_ = font_.fontTable("hmtx");
}

uint16_t PdfFont::lookUp(char32_t codePoint) {
    const QString text = QString::fromUcs4(&codePoint, 1);
    const QList<quint32> glyphs = font_.glyphIndexesForString(text);
    const uint16_t glyph = glyphs.isEmpty() ? 0 : uint16_t(glyphs.first());
    if (codePoint < 0x10000)
        bmp_[codePoint] = glyph;
    else
        astral_[codePoint] = glyph;
    used_.emplace(glyph, codePoint);
    return glyph;
}

void PdfFont::appendGlyphs(QByteArray& out, const QString& text) {
    // A literal string of two bytes a glyph: half the bytes of hex to write and deflate.
    const qsizetype start = out.size();
    out.resize(start + 2 + text.size() * 4);
    char* at = out.data() + start;
    *at++ = '(';
    const auto put = [&at](char byte) {
        switch (byte) {
            case '(':
            case ')':
            case '\\':
                *at++ = '\\';
                break;
            case '\r':  // a bare CR would read as a line end
                *at++ = '\\';
                byte = 'r';
                break;
        }
        *at++ = byte;
    };
    const QChar* chars = text.constData();
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t c = chars[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && chars[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(chars[i], chars[i + 1]);
            ++i;
        }
        const uint16_t glyph = glyphFor(c);
        put(char(glyph >> 8));
        put(char(glyph & 0xFF));
    }
    *at++ = ')';
    out.resize(at - out.constData());
}

int PdfFont::width(uint16_t glyph) const {
    if (longMetrics_ <= 0) return 600;
    const int index = std::min<int>(glyph, longMetrics_ - 1);
    return int(uint16_t(int16At(hmtx_, index * 4))) * 1000 / unitsPerEm_;
}

void PdfFont::write(PdfWriter& pdf) const {
    const int cidFont = pdf.reserve(), descriptor = pdf.reserve(), file = pdf.reserve(),
              toUnicode = pdf.reserve();
    const QByteArray name = baseName(font_);
    const QByteArray head = font_.fontTable("head");
    const QByteArray hhea = font_.fontTable("hhea");
    const QByteArray os2 = font_.fontTable("OS/2");
    const auto scaled = [this](int units) {
        return QByteArray::number(units * 1000 / unitsPerEm_);
    };

    pdf.beginObject(object_);
    pdf.write("<< /Type /Font /Subtype /Type0 /BaseFont /" + name +
              " /Encoding /Identity-H /DescendantFonts [" + QByteArray::number(cidFont) +
              " 0 R] /ToUnicode " + QByteArray::number(toUnicode) + " 0 R >>\n");
    pdf.endObject();

    // Widths: the commonest as the default, the others listed.
    const int common = used_.empty() ? 600 : width(used_.begin()->first);
    QByteArray widths;
    for (const auto& entry : used_)
        if (width(entry.first) != common)
            widths += QByteArray::number(entry.first) + " [" +
                      QByteArray::number(width(entry.first)) + "] ";
    pdf.beginObject(cidFont);
    pdf.write("<< /Type /Font /Subtype /" + QByteArray(cff_ ? "CIDFontType0" : "CIDFontType2") +
              " /BaseFont /" + name +
              " /CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >>"
              " /FontDescriptor " +
              QByteArray::number(descriptor) + " 0 R /DW " + QByteArray::number(common) + " /W [" +
              widths + "]" + (cff_ ? "" : " /CIDToGIDMap /Identity") + " >>\n");
    pdf.endObject();

    const bool fixedPitch =
        int16At(font_.fontTable("post"), 12) != 0 || int16At(font_.fontTable("post"), 14) != 0;
    const int capHeight = uint16_t(int16At(os2, 0)) >= 2 ? int16At(os2, 88) : int16At(hhea, 4);
    pdf.beginObject(descriptor);
    pdf.write("<< /Type /FontDescriptor /FontName /" + name + " /Flags " +
              QByteArray::number(fixedPitch ? 5 : 4) + " /FontBBox [" + scaled(int16At(head, 36)) +
              ' ' + scaled(int16At(head, 38)) + ' ' + scaled(int16At(head, 40)) + ' ' +
              scaled(int16At(head, 42)) + "] /ItalicAngle 0 /Ascent " + scaled(int16At(hhea, 4)) +
              " /Descent " + scaled(int16At(hhea, 6)) + " /CapHeight " + scaled(capHeight) +
              " /StemV 80 /" + (cff_ ? "FontFile3 " : "FontFile2 ") + QByteArray::number(file) +
              " 0 R >>\n");
    pdf.endObject();

    const QByteArray data = fontFile(font_, cff_);
    pdf.stream(
        file,
        cff_ ? QByteArray("/Subtype /OpenType") : "/Length1 " + QByteArray::number(data.size()),
        data);

    QByteArray cmap =
        "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
        "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
        "1 begincodespacerange <0000> <FFFF> endcodespacerange\n";
    std::vector<std::pair<uint16_t, char32_t>> entries(used_.begin(), used_.end());
    for (size_t i = 0; i < entries.size(); i += 100) {
        const size_t end = std::min(entries.size(), i + 100);
        cmap += QByteArray::number(qulonglong(end - i)) + " beginbfchar\n";
        for (size_t j = i; j < end; ++j) {
            const QString text = QString::fromUcs4(&entries[j].second, 1);
            cmap += '<' + hex4(entries[j].first) + "> <";
            for (const QChar c : text) cmap += hex4(c.unicode());
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
