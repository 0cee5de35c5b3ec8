#include "surface/PdfColourFont.h"

#include <algorithm>

#include "surface/PdfWriter.h"
#include "surface/PngImage.h"
#include "text/FontFace.h"

namespace zel {

namespace {

QByteArray number(double value) {
    QByteArray out;
    appendNumber(out, value);
    return out;
}

QByteArray reference(int object) {
    return QByteArray::number(object) + " 0 R";
}

// The image as an XObject with its transparency as a soft mask; returns the image's object.
int writeImage(PdfWriter& pdf, const PngImage& image, bool grayscale) {
    QByteArray colour, alpha;
    colour.reserve(qsizetype(image.width()) * image.height() * (grayscale ? 1 : 3));
    alpha.reserve(qsizetype(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb pixel = image.colour(x, y);
            if (grayscale) {
                colour += char(pixel.grey());
            } else {
                colour += char(pixel.red);
                colour += char(pixel.green);
                colour += char(pixel.blue);
            }
            alpha += char(image.alpha(x, y));
        }
    }
    const QByteArray size = "/Type /XObject /Subtype /Image /Width " +
                            QByteArray::number(image.width()) + " /Height " +
                            QByteArray::number(image.height()) + " /BitsPerComponent 8";
    const int object = pdf.reserve(), mask = pdf.reserve();
    pdf.stream(object,
               size + (grayscale ? " /ColorSpace /DeviceGray" : " /ColorSpace /DeviceRGB") +
                   " /SMask " + reference(mask),
               colour);
    pdf.stream(mask, size + " /ColorSpace /DeviceGray", alpha);
    return object;
}

}  // namespace

uint8_t PdfColourFont::code(uint32_t glyph, char32_t character) {
    const uint64_t key = uint64_t(glyph) << 32 | character;
    const auto found = codes_.find(key);
    if (found != codes_.end()) return found->second;
    if (glyphs_.size() == Codes) return 0;
    glyphs_.push_back({glyph, character});
    return codes_[key] = uint8_t(glyphs_.size());
}

void PdfColourFont::write(PdfWriter& pdf, bool grayscale) const {
    // Glyph space is a thousandth of the size, as the text's widths are.
    const double unit = 1000.0 / face_.unitsPerEm();
    QByteArray procedures, names, widths, images, cmap;
    std::vector<QByteArray> entries;
    for (size_t i = 0; i < glyphs_.size(); ++i) {
        const Glyph& g = glyphs_[i];
        const QByteArray name = "g" + QByteArray::number(qulonglong(i + 1));
        const double width = g.glyph == Blank ? 0 : face_.advance(g.glyph) * unit;
        QByteArray procedure = number(width) + " 0 d0\n";
        const PngImage image(g.glyph == Blank ? QByteArray() : face_.png(g.glyph));
        if (!image.isNull()) {
            const hb_glyph_extents_t box = face_.extents(g.glyph);
            const QByteArray drawn = "I" + QByteArray::number(qulonglong(i + 1));
            procedure += "q " + number(box.width * unit) + " 0 0 " + number(-box.height * unit) +
                         ' ' + number(box.x_bearing * unit) + ' ' +
                         number((box.y_bearing + box.height) * unit) + " cm /" + drawn + " Do Q\n";
            images += '/' + drawn + ' ' + reference(writeImage(pdf, image, grayscale)) + ' ';
        }
        const int object = pdf.reserve();
        pdf.stream(object, QByteArray(), procedure);
        procedures += '/' + name + ' ' + reference(object) + ' ';
        names += '/' + name + ' ';
        widths += number(width) + ' ';
        if (g.character) {
            QByteArray entry =
                '<' + QByteArray::number(qulonglong(i + 1), 16).rightJustified(2, '0') + "> <";
            for (const QChar c : QString::fromUcs4(&g.character, 1)) appendHex(entry, c.unicode());
            entries.push_back(entry + ">\n");
        }
    }
    // A block of the map holds at most 100 entries.
    for (size_t i = 0; i < entries.size(); i += 100) {
        const size_t end = std::min(entries.size(), i + 100);
        cmap += QByteArray::number(qulonglong(end - i)) + " beginbfchar\n";
        for (size_t j = i; j < end; ++j) cmap += entries[j];
        cmap += "endbfchar\n";
    }
    const int toUnicode = pdf.reserve();
    pdf.stream(toUnicode, QByteArray(),
               "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
               "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
               "/CMapName /Adobe-Identity-UCS def /CMapType 2 def\n"
               "1 begincodespacerange <00> <FF> endcodespacerange\n" +
                   cmap +
                   "endcmap CMapName currentdict /CIDInit /ProcSet findresource "
                   "/defineresource pop end end\n");
    pdf.beginObject(object_);
    pdf.write(
        "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 0 0] /FontMatrix [0.001 0 0 0.001 0 0]"
        " /CharProcs << " +
        procedures + ">> /Encoding << /Type /Encoding /Differences [1 " + names +
        "] >> /FirstChar 1 /LastChar " + QByteArray::number(qulonglong(glyphs_.size())) +
        " /Widths [" + widths + "] /Resources << /XObject << " + images + ">> >> /ToUnicode " +
        reference(toUnicode) + " >>\n");
    pdf.endObject();
}

}  // namespace zel
