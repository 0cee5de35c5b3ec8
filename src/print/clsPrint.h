#pragma once

#include <QObject>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "print/PrintElement.h"
#include "variant/Variant.h"
#include "variant/VbError.h"

namespace zel {

class DrawingSurface;
class PrintContext;

// The print object: one per report. Its members are defined in files by concern:
// clsPrint.cpp (state, lifecycle), clsPrint_settings.cpp (output settings and properties),
// clsPrint_flow.cpp (page flow), clsPrint_compose.cpp (composition and the stores),
// clsPrint_render.cpp (page start, replay and the device primitives).
// Arguments are dynamic values converted where they are used; optional arguments default to
// their declared value or to Missing.
class clsPrint : public QObject {
    Q_OBJECT
public:
    // Creation, on the program's shared context or on the one given: ends the context's
    // document, loads its frmPrint, applies the default set "Terminal".
    clsPrint();
    explicit clsPrint(std::shared_ptr<PrintContext> context);
    ~clsPrint() override;  // the release, unless Terminate ran it before

    // The release by mode, once. It never fails: the printer's errors are ignored, but the one
    // that kept the job from its destination is returned, for a caller that can still tell
    // the client (the server's Release).
    std::optional<VbError> Terminate();

    // Public variables (read/write for clients).
    int32_t CurrentPage = 0;
    int32_t CurrentLine = -1;
    int32_t StartLine = 1;
    int16_t PrintFilenr = 0;
    Variant PrintFileName;
    Variant MaxKopregel;
    Variant MaxDetailregel;
    bool AnnulerenPressed = false;

    // Page flow.
    bool GetResult() const;
    void Show();
    void Cls();
    bool CheckRegelsBeschikbaar(const Variant& HuidigeRegel, const Variant& AantalRegels);
    bool NieuwBlad(const Variant& Regel);
    Variant ToonBlad(const Variant& Bladnummer);

    // Template printing (clsPrint_template.cpp).
    bool PrintFromSjabloon(const Variant& DatabaseNaam, const Variant& strSQL,
                           Variant& Sjabloonnaam);

    // Output settings.
    void SetParm(const Variant& ParmNummer, const Variant& ParmWaarde);
    void SetMode(const Variant& UitvoerMode);
    void SetOrientation(const Variant& Orientation);
    void SetDefault(const Variant& Defaultnaam);
    Variant Reset(const Variant& UitvoerMode = Variant::Missing(), bool HorLines = false,
                  bool CrossLines = false);
    void Spacing(const Variant& LeftSpacing = Variant::Missing(),
                 const Variant& RightSpacing = Variant::Missing(),
                 const Variant& TopSpacing = Variant::Missing(),
                 const Variant& BottomSpacing = Variant::Missing());

    // Composition.
    void Watermerk(const Variant& Tekst, const Variant& FontSizeScherm = Variant::Integer(48),
                   const Variant& FontSizePrinter = Variant::Integer(72),
                   const Variant& ForeColor = Variant::Long(14540253), bool AddTabel = true);
    void HorLines();
    void CrossLines();
    void ClearKopregels();
    void AddKopregel(const Variant& PrLine, const Variant& PrPos, const Variant& Tekst,
                     const Variant& Kleur = Variant::Integer(0),
                     const Variant& DrawMode = Variant::Missing());
    void AddKopregelBox(const Variant& PrLine, const Variant& PrLineTot, const Variant& PrPos,
                        const Variant& PrPosTot, const Variant& Kleur = Variant::Integer(0),
                        bool FillArea = false, const Variant& Dikte = Variant::Integer(1),
                        const Variant& DrawMode = Variant::Missing());
    void AddKopregelLine(const Variant& PrLine, const Variant& PrLineTot, const Variant& PrPos,
                         const Variant& PrPosTot, const Variant& Kleur = Variant::Integer(0),
                         const Variant& Dikte = Variant::Integer(1),
                         const Variant& DrawMode = Variant::Missing());
    bool AddTekst(const Variant& Regel, const Variant& Positie, const Variant& AfdrukTekst,
                  const Variant& Kleur = Variant::Missing(),
                  const Variant& DrawMode = Variant::Missing(), bool AddTabel = true);
    void AddLine(const Variant& RegelVan, const Variant& PositieVan, const Variant& RegelTot,
                 const Variant& PositieTot, const Variant& Kleur = Variant::Missing(),
                 const Variant& Dikte = Variant::Integer(1),
                 const Variant& DrawMode = Variant::Missing(), bool AddTabel = true);
    void AddBox(const Variant& RegelVan, const Variant& PositieVan, const Variant& RegelTot,
                const Variant& PositieTot, const Variant& Kleur = Variant::Missing(),
                bool FillArea = false, const Variant& Dikte = Variant::Integer(1),
                const Variant& DrawMode = Variant::Missing(), bool AddTabel = true);

    // The nine properties: get, let (put by value: store, then apply) and set (put by
    // reference: only store).
    Variant PrintColorMode() const { return PrintColorMode_; }
    void letPrintColorMode(const Variant& v);
    Variant ScreenForeColor() const { return ScreenForeColor_; }
    void letScreenForeColor(const Variant& v);
    Variant ScreenBackColor() const { return ScreenBackColor_; }
    void letScreenBackColor(const Variant& v);
    Variant ScreenFontName() const { return ScreenFontName_; }
    void letScreenFontName(const Variant& v);
    Variant ScreenFontSize() const { return ScreenFontSize_; }
    void letScreenFontSize(const Variant& v);
    Variant PrintForeColor() const { return PrintForeColor_; }
    void letPrintForeColor(const Variant& v);
    Variant PrintFontSize() const { return PrintFontSize_; }
    void letPrintFontSize(const Variant& v);
    Variant PrintFontName() const { return PrintFontName_; }
    void letPrintFontName(const Variant& v);
    Variant PrintBackColor() const { return PrintBackColor_; }
    void letPrintBackColor(const Variant& v);
    void setPrintColorMode(const Variant& ref) { PrintColorMode_ = ref; }
    void setScreenForeColor(const Variant& ref) { ScreenForeColor_ = ref; }
    void setScreenBackColor(const Variant& ref) { ScreenBackColor_ = ref; }
    void setScreenFontName(const Variant& ref) { ScreenFontName_ = ref; }
    void setScreenFontSize(const Variant& ref) { ScreenFontSize_ = ref; }
    void setPrintForeColor(const Variant& ref) { PrintForeColor_ = ref; }
    void setPrintFontSize(const Variant& ref) { PrintFontSize_ = ref; }
    void setPrintFontName(const Variant& ref) { PrintFontName_ = ref; }
    void setPrintBackColor(const Variant& ref) { PrintBackColor_ = ref; }

    // Read access to private state, for the server's callers and for tests.
    const Variant& UitvoerMode() const { return UitvoerMode_; }
    bool HorLinesOn() const { return HorLinesOn_; }
    bool CrossLinesOn() const { return CrossLinesOn_; }
    const Variant& Parm(int slot) const { return Parms_.at(slot); }
    const ElementStore& Kopregels() const { return Kopregels_; }
    const ElementStore& Detailregels() const { return Detailregels_; }
    PrintContext& context() const { return *context_; }

Q_SIGNALS:
    void BladAfgedrukt(int32_t Bladnummer);
    void Melding(int32_t FoutNummer, const QString& Tekst);

private:
    // Page flow.
    bool CheckBladVol(const Variant& Regel, bool ConfirmOnly);
    bool waitForConfirmation(const Variant& Regel);
    void startPage(const Variant& Regel);
    bool checkPageWithoutLine();
    bool takePendingStartLine(const Variant& Regel);
    // Page start and replay.
    int32_t PrintKopregels(const Variant& Mode);
    void PrintDetailregels();
    // Device primitives.
    void PrinterHorLines();
    void PrinterCrossLines();
    void SchermHorLines();
    void SchermCrossLines();
    void PrinterTekst(const Variant& Tekst);
    void gridLines(DrawingSurface& surface, bool cross, float width, float height);
    // Stores.
    void ClearDetailregels(const Variant& StartRegel);
    void StoreTekst(const Variant& Regel, const Variant& Positie, const Variant& Tekst,
                    const Variant& Kleur, const Variant& DrawMode);
    void StoreBox(const Variant& Regel, const Variant& Positie, const Variant& RegelTot,
                  const Variant& PositieTot, const Variant& Kleur, const Variant& Dikte,
                  const Variant& DrawMode, bool FillArea);
    void StoreLine(const Variant& Regel, const Variant& Positie, const Variant& RegelTot,
                   const Variant& PositieTot, const Variant& Kleur, const Variant& Dikte,
                   const Variant& DrawMode);
    void StoreWatermerk(const Variant& Tekst, const Variant& FontSizeScherm,
                        const Variant& FontSizePrinter, const Variant& ForeColor);
    PrintElement& appendDetail();
    PrintElement& appendKopregel();
    // Placeholders.
    QString ExpandTekst(const Variant& Tekst) const;
    // One template line as the next body line of the templates' own line count.
    void PrintRegel(const Variant& Tekst);

    std::shared_ptr<PrintContext> context_;
    Variant UitvoerMode_ = Variant("S");
    std::array<Variant, 10> Parms_;
    bool HorLinesOn_ = false;
    bool CrossLinesOn_ = false;
    ElementStore Kopregels_{1};
    ElementStore Detailregels_{0};
    Variant ScreenFontSize_ = Variant::Integer(6);
    Variant ScreenFontName_ = Variant("Terminal");
    Variant ScreenBackColor_ = Variant::Long(16777215);
    Variant ScreenForeColor_ = Variant::Integer(0);
    Variant PrintBackColor_ = Variant::Long(16777215);
    Variant PrintFontName_ = Variant("Courier New");
    Variant PrintFontSize_ = Variant::Integer(6);
    Variant PrintForeColor_ = Variant::Integer(0);
    Variant PrintColorMode_;

    // A page started without a line number (a watermark or grid lines) takes its start line
    // from the first later call on it that has one, whatever its kind.
    bool startLinePending_ = false;
    bool terminated_ = false;
    // The files that ToonBlad opened, closed on release so that a long-running server does not
    // run out of file numbers.
    std::vector<int16_t> toonBladFiles_;
    // The body line of the last template line printed: template lines keep growing over all
    // templates the object prints, as a client's lines do over its report.
    int32_t SjabloonRegel_ = 0;
};

}  // namespace zel
