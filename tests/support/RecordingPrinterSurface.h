#pragma once

#include <QStringList>

#include "surface/PrinterSurface.h"

namespace zel {

// A printer for tests: it records every call that changes or draws (reads are not recorded)
// as "Name(arg,arg)" and keeps the state a real printer keeps, on a fixed A4 sheet
// (11906 x 16838 twips portrait) with a fixed cell of 120 x 240 twips per character, so that
// tests can assert exact positions. It refuses what the real printer refuses (380, 396) and can
// be told to fail NewPage or Print with error 482.
class RecordingPrinterSurface : public PrinterSurface {
public:
    static constexpr float SheetWidth = 11906;
    static constexpr float SheetHeight = 16838;
    static constexpr float CellWidth = 120;
    static constexpr float CellHeight = 240;

    const QStringList& calls() const { return calls_; }
    // The recorded calls of one member, e.g. callsOf("Print").
    QStringList callsOf(const QString& name) const;
    void clearCalls() { calls_.clear(); }

    void failNewPage(bool fail) { failNewPage_ = fail; }
    void failPrint(bool fail) { failPrint_ = fail; }

    bool jobOpen() const { return jobOpen_; }
    // Sheets with output in the open job (a page change counts only once the next sheet holds
    // output, as on the real printer).
    int sheetsInJob() const { return sheets_; }
    int jobsEnded() const { return jobsEnded_; }
    int jobsKilled() const { return jobsKilled_; }
    bool backgroundTransparent() const { return backgroundTransparent_; }

    float CurrentX() const override { return x_; }
    void setCurrentX(float twips) override;
    float CurrentY() const override { return y_; }
    void setCurrentY(float twips) override;
    float ScaleWidth() const override { return orientation_ == 2 ? SheetHeight : SheetWidth; }
    float ScaleHeight() const override { return orientation_ == 2 ? SheetWidth : SheetHeight; }
    float TextWidth(const QString& text) override { return CellWidth * float(text.size()); }
    float TextHeight(const QString&) override { return CellHeight; }
    void Line(int flags, float x1, float y1, float x2, float y2, int32_t colour) override;
    void Print(const QString& text, bool lineEnd) override;

    int32_t ForeColor() const override { return foreColor_; }
    void setForeColor(int32_t colour) override;
    int16_t DrawWidth() const override { return drawWidth_; }
    void setDrawWidth(int16_t pixels) override;
    int16_t DrawMode() const override { return drawMode_; }
    void setDrawMode(int16_t mode) override;
    QString FontName() const override { return fontName_; }
    void setFontName(const QString& name) override;
    float FontSize() const override { return fontSize_; }
    void setFontSize(float points) override;
    bool FontBold() const override { return fontBold_; }
    void setFontBold(bool bold) override;

    void NewPage() override;
    void EndDoc() override;
    void KillDoc() override;
    bool JobRefused() const override { return false; }
    int32_t FillColor() const override { return fillColor_; }
    void setFillColor(int32_t colour) override;
    void PaintBackground(int32_t colour) override;  // recorded; no output of its own
    bool FontTransparent() const override { return fontTransparent_; }
    void setFontTransparent(bool transparent) override;
    int16_t Orientation() const override { return orientation_; }
    void setOrientation(int16_t orientation) override;
    int16_t ColorMode() const override { return colorMode_; }
    void setColorMode(int16_t mode) override;
    void setBackgroundTransparent() override;
    bool SheetWrittenOn() const override { return written_; }

private:
    void record(const QString& name, const QStringList& args = {});
    void output();
    void endJob();

    QStringList calls_;
    bool failNewPage_ = false;
    bool failPrint_ = false;
    bool jobOpen_ = false;
    bool written_ = false;
    int sheets_ = 0;
    int jobsEnded_ = 0;
    int jobsKilled_ = 0;
    float x_ = 0;
    float y_ = 0;
    int32_t foreColor_ = 0;
    int32_t fillColor_ = 0;
    int16_t drawWidth_ = 1;
    int16_t drawMode_ = 13;
    QString fontName_ = QStringLiteral("Courier New");
    float fontSize_ = 10;
    bool fontBold_ = false;
    bool fontTransparent_ = true;
    bool backgroundTransparent_ = true;
    int16_t orientation_ = 1;
    int16_t colorMode_ = 2;
};

}  // namespace zel
