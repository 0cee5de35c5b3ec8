#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace zel {

class FontFace;

// The faces a text in one font is drawn with: the font's own face first, then the faces that
// fontconfig orders after it for that font, each taking the characters that the ones before it
// lack. Built once per family and weight for the process: fontconfig's ordered list is costly,
// and sorted only when a character is missing from the font's own face.
// Every print context's thread uses the same sets: the glyph cache is atomic, the rest of what
// is learnt on the way is guarded.
class FontSet {
public:
    // The set of the family as the font resolved to it (Qt's choice, such as "Liberation Mono"
    // for "Courier New"). VbError 482 when fontconfig has no font file for it at all.
    static FontSet& forFamily(const QString& family, bool bold);
    ~FontSet();

    const FontFace& main() const { return *main_; }
    // The first face that has a glyph for the character, or nullptr when no installed font has.
    // An emoji takes a colour font's glyph where one has it.
    const FontFace* faceFor(char32_t c);
    // The first face that has glyphs for all the characters (a character and its marks), or
    // nullptr.
    const FontFace* faceForAll(const std::vector<char32_t>& chars);
    // The main face's glyph for a character that needs no shaping (Latin, Greek, Cyrillic or
    // common punctuation and symbols; one cell; left to right) and that the face has; else -1.
    int32_t simpleGlyph(char32_t c) {
        if (c < SimpleCount) {
            const int32_t known = simple_[c].load(std::memory_order_relaxed);
            if (known != Unknown) return known;
        }
        return lookUpSimple(c);
    }

private:
    struct Candidate;
    static constexpr int32_t Unknown = -2;
    static constexpr char32_t SimpleCount = 0x10000;  // the BMP

    FontSet(const QString& family, bool bold);
    // fontconfig's order after the main face, sorted on first need; mutex_ held.
    void sortCandidates();
    int32_t lookUpSimple(char32_t c);
    const FontFace* lookUpFace(char32_t c);
    const FontFace* candidateFace(Candidate& candidate);

    const QString family_;
    const bool bold_;
    const FontFace* main_ = nullptr;
    QByteArray mainPath_;
    int mainIndex_ = 0;
    bool sorted_ = false;
    std::vector<Candidate> candidates_;  // fontconfig's order, the main face's file left out
    std::unique_ptr<std::atomic<int32_t>[]> simple_;  // by BMP character
    std::mutex mutex_;                                // guards what follows, and candidates_
    std::unordered_map<char32_t, const FontFace*> chosen_;
};

}  // namespace zel
