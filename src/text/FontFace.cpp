#include "text/FontFace.h"

#include <hb-ot.h>
#include <hb.h>

#include <QtEndian>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace zel {

namespace {

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

// The blob's bytes, copied; the blob is released.
QByteArray takeBytes(hb_blob_t* blob) {
    unsigned length = 0;
    const char* data = hb_blob_get_data(blob, &length);
    QByteArray out(data, qsizetype(length));
    hb_blob_destroy(blob);
    return out;
}

}  // namespace

QByteArray tableOf(hb_face_t* face, hb_tag_t tag) {
    return takeBytes(hb_face_reference_table(face, tag));
}

QByteArray sfntOf(hb_face_t* face, bool cff, const std::map<hb_tag_t, QByteArray>& replaced) {
    std::vector<std::pair<hb_tag_t, QByteArray>> tables;
    hb_tag_t tags[64];
    unsigned start = 0, count = 64;
    do {
        count = 64;
        hb_face_get_table_tags(face, start, &count, tags);
        for (unsigned i = 0; i < count; ++i) {
            const auto replacement = replaced.find(tags[i]);
            tables.emplace_back(tags[i], replacement != replaced.end() ? replacement->second
                                                                       : tableOf(face, tags[i]));
        }
        start += count;
    } while (count == 64);
    const uint16_t n = uint16_t(tables.size());
    uint16_t power = 1, log = 0;
    while (power * 2 <= n) power *= 2, ++log;
    QByteArray file;
    append32(file, cff ? 0x4F54544F : 0x00010000);  // "OTTO" or TrueType
    append16(file, n);
    append16(file, uint16_t(power * 16));
    append16(file, log);
    append16(file, uint16_t(n * 16 - power * 16));
    uint32_t offset = 12 + 16 * n;
    for (const auto& [tag, data] : tables) {
        append32(file, tag);
        append32(file, checksum(data));
        append32(file, offset);
        append32(file, uint32_t(data.size()));
        offset += uint32_t((data.size() + 3) & ~3);
    }
    for (const auto& entry : tables) {
        file += entry.second;
        file += QByteArray((4 - entry.second.size() % 4) % 4, '\0');
    }
    return file;
}

const FontFace* FontFace::load(const QByteArray& path, int index) {
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    static std::map<std::pair<QByteArray, int>, std::unique_ptr<FontFace>> faces;
    std::unique_ptr<FontFace>& entry = faces[{path, index}];
    if (!entry) {
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(path.constData());
        if (!blob) return nullptr;
        entry.reset(new FontFace(blob, path, index));
        // A file that is no font (or has no such face) gives an empty face: no glyphs to draw.
        if (hb_face_get_glyph_count(entry->face_) == 0) {
            entry.reset();
            return nullptr;
        }
    }
    return entry.get();
}

FontFace::FontFace(hb_blob_t* blob, const QByteArray& path, int index)
    : path_(path),
      index_(index),
      blob_(blob),
      face_(hb_face_create(blob, unsigned(index))),
      font_(hb_font_create(face_)),
      unitsPerEm_(int(hb_face_get_upem(face_))) {
    const QByteArray post = table("post");
    fixedPitch_ = post.size() >= 16 && qFromBigEndian<uint32_t>(post.constData() + 12) != 0;
    cff_ = !hasTable("glyf") && hasTable("CFF ");
    colour_ = hb_ot_color_has_png(face_);
}

FontFace::~FontFace() {
    hb_font_destroy(font_);
    hb_face_destroy(face_);
    hb_blob_destroy(blob_);
}

uint32_t FontFace::glyph(char32_t c) const {
    hb_codepoint_t glyph = 0;
    return hb_font_get_nominal_glyph(font_, c, &glyph) ? glyph : 0;
}

int FontFace::advance(uint32_t glyph) const {
    return int(hb_font_get_glyph_h_advance(font_, glyph));
}

QByteArray FontFace::png(uint32_t glyph) const {
    return takeBytes(hb_ot_color_glyph_reference_png(font_, glyph));
}

hb_glyph_extents_t FontFace::extents(uint32_t glyph) const {
    hb_glyph_extents_t box{};
    hb_font_get_glyph_extents(font_, glyph, &box);
    return box;
}

QByteArray FontFace::table(const char* tag) const {
    return tableOf(face_, HB_TAG(tag[0], tag[1], tag[2], tag[3]));
}

bool FontFace::hasTable(const char* tag) const {
    hb_blob_t* blob = hb_face_reference_table(face_, HB_TAG(tag[0], tag[1], tag[2], tag[3]));
    const bool has = hb_blob_get_length(blob) > 0;
    hb_blob_destroy(blob);
    return has;
}

QByteArray FontFace::postScriptName() const {
    char buffer[128];
    unsigned length = sizeof buffer;
    hb_ot_name_get_utf8(face_, HB_OT_NAME_ID_POSTSCRIPT_NAME, HB_LANGUAGE_INVALID, &length, buffer);
    QByteArray name;
    for (unsigned i = 0; i < length; ++i) {
        const char c = buffer[i];
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-')
            name += c;
    }
    return name.isEmpty() ? QByteArray("Font") : name;
}

QByteArray FontFace::fileData() const {
    const std::lock_guard<std::mutex> lock(fileMutex_);
    if (fileData_.isEmpty()) {
        if (index_ == 0 && hb_face_count(blob_) <= 1) {
            unsigned length = 0;
            const char* data = hb_blob_get_data(blob_, &length);
            fileData_ = QByteArray::fromRawData(data, qsizetype(length));
        } else {
            fileData_ = sfntOf(face_, cff_);
        }
    }
    return fileData_;
}

}  // namespace zel
