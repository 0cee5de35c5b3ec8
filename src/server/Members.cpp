#include "server/Members.h"

#include <QDBusVariant>
#include <type_traits>

#include "print/clsPrint.h"

namespace zel {

namespace {

OptionalParameter opt(const char* name, ArgKind kind, const Variant& fallback, const char* doc) {
    return {QString::fromLatin1(name), fallback, false, QString::fromUtf8(doc), kind};
}

// A typed Boolean parameter: its wire value is converted with toBoolean.
OptionalParameter flag(const char* name, bool fallback, const char* doc) {
    return {QString::fromLatin1(name), Variant::Boolean(fallback), true, QString::fromUtf8(doc),
            ArgKind::Boolean};
}

template <typename F>
std::function<Variant(clsPrint&, Arguments&)> none(F f) {
    return [f](clsPrint& p, Arguments& a) {
        f(p, a);
        return Variant();
    };
}

template <typename F>
std::function<Variant(clsPrint&, Arguments&)> boolean(F f) {
    return [f](clsPrint& p, Arguments& a) { return Variant::Boolean(f(p, a)); };
}

using P = clsPrint;
using A = Arguments;
using K = ArgKind;

// What the parameters that many members share mean.
const char* const kLine =
    "the report's line number (from 1), mapped to the page's row; a line past the page's end "
    "starts a new page first";
const char* const kPosition = "the character position on the line, from 1 inside the margins";
const char* const kHeaderLine = "the header line, from 1 at the top margin";
const char* const kColour = "the colour as 0x00BBGGRR (red in the low byte)";
const char* const kDrawMode =
    "the pen's raster operation as the platform numbers them (13 draws in the pen's colour)";
const char* const kThickness =
    "the line width in device pixels (on the printer 1/600 inch: 1 is a hairline)";
const char* const kAddTabel =
    "true: also kept for the page's redraw in the window 'Afdrukken', false: drawn only";
const char* const kFillArea = "true: the box is filled with its colour";
// The errors of a call that may start or end a print job, and of one that takes line numbers.
const char* const kRefused =
    " Errors: 482 when the printer's destination refuses the job (an unknown CUPS queue, a PDF "
    "folder that cannot be written)";
const char* const kLineErrors = ", 6 when a line number does not fit 32 bits";

std::vector<MethodSpec> makeMethods() {
    const Variant zero = Variant::Integer(0);
    const Variant one = Variant::Integer(1);
    const Variant none_ = Variant::Missing();
    const std::vector<Parameter> fromTo = {{"RegelVan", kLine, K::Long},
                                           {"PositieVan", kPosition, K::Number},
                                           {"RegelTot", "the last line", K::Long},
                                           {"PositieTot", "the last position", K::Number}};
    const std::vector<Parameter> kopFromTo = {{"PrLine", kHeaderLine, K::Long},
                                              {"PrLineTot", "the last header line", K::Long},
                                              {"PrPos", kPosition, K::Number},
                                              {"PrPosTot", "the last position", K::Number}};
    const QString refused = QLatin1String(kRefused);
    const QString draws = refused + QLatin1String(kLineErrors);
    return {
        {"GetResult",
         "False once the user has pressed 'Afbreken' at a page confirmation (until Reset), "
         "else true. Answered at once, even while a confirmation waits.",
         {},
         {},
         ResultKind::Boolean,
         Access::Read,
         boolean([](P& p, A&) { return p.GetResult(); })},
        {"Show",
         "Shows the window 'Afdrukken' (in the screen modes 'S' and 'PS'), which stays "
         "hidden until then.",
         {},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A&) { p.Show(); })},
        {"Cls",
         "Ends the report: clears the window's page in the screen modes, ends and prints the "
         "print job in 'P' and 'PS'; the page counters start again (CurrentPage 0)." +
             refused + ".",
         {},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A&) { p.Cls(); })},
        {"SetParm",
         "Stores a parameter for the placeholders #0 to #9. A number outside 0 to 9 stores "
         "nothing and sends the signal Melding (80, 'Parameternummer fout: N'); error 9 when "
         "the number rounds to a slot outside 0 to 9.",
         {{"ParmNummer", "the parameter's number, 0 to 9", K::Number},
          {"ParmWaarde", "its value, any kind, formatted where the placeholder is printed",
           K::Any}},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.SetParm(a[0], a[1]); })},
        {"Watermerk",
         "Prints a text centred on the page in large letters; starts a page when none is "
         "started." +
             refused + ", 380 for a font size above 2160 points.",
         {{"Tekst", "the text; placeholders are expanded", K::Text}},
         {opt("FontSizeScherm", K::Number, Variant::Integer(48),
              "the font size in points in the window"),
          opt("FontSizePrinter", K::Number, Variant::Integer(72),
              "the font size in points on the printer"),
          opt("ForeColor", K::Long, Variant::Long(14540253), kColour),
          flag("AddTabel", true, kAddTabel)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.Watermerk(a[0], a[1], a[2], a[3], a[4].toBoolean()); })},
        {"SetMode",
         "Sets the output mode, stored as given and compared upper-cased: 'P' the printer, "
         "'S' the window 'Afdrukken' with a confirmation of each page, 'PS' both, 'F' "
         "(or anything else) nothing is drawn. A new object starts in 'S'.",
         {{"UitvoerMode", "'P', 'S', 'PS' or 'F'", K::Text}},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.SetMode(a[0]); })},
        {"SetOrientation",
         "Turns the paper; a page with output ends the job first, so that it is printed. "
         "Errors: only 482, when the job it ended was refused.",
         {{"Orientation", "1 portrait, 2 landscape", K::Long}},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.SetOrientation(a[0]); })},
        {"SetDefault",
         "Applies a named set of margins, fonts and colours ('Terminal': margins 800 twips, "
         "6 points; 'Terminal7B': margins 400, 7 points, bold); another name changes nothing. "
         "A new object starts with 'Terminal'.",
         {{"Defaultnaam", "'Terminal' or 'Terminal7B', matched without regard to case", K::Text}},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.SetDefault(a[0]); })},
        {"Reset",
         "Starts a new report: a page with output ends the job (printed), the counters start "
         "again with CurrentPage 1 (so the first page is numbered 2). Header lines, parameters, "
         "fonts and margins stay. Returns Empty." +
             refused + ".",
         {},
         {opt("UitvoerMode", K::Text, none_,
              "the output mode, as SetMode takes it (omitted: it stays)"),
          flag("HorLines", false, "true: a frame along the margins on every page"),
          flag("CrossLines", false, "true: the page's two diagonals on every page")},
         ResultKind::Value,
         Access::Held,
         [](P& p, A& a) { return p.Reset(a[0], a[1].toBoolean(), a[2].toBoolean()); }},
        {"Spacing",
         "Sets the margins in twips (1/1440 inch); the page grid follows at the next page. An "
         "omitted margin keeps its value.",
         {},
         {opt("LeftSpacing", K::Number, none_, "the left margin in twips"),
          opt("RightSpacing", K::Number, none_, "the right margin in twips"),
          opt("TopSpacing", K::Number, none_, "the top margin in twips"),
          opt("BottomSpacing", K::Number, none_, "the bottom margin in twips")},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.Spacing(a[0], a[1], a[2], a[3]); })},
        {"HorLines",
         "Draws a frame along the margins of the current page; starts a page when none is "
         "started." +
             refused + ".",
         {},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A&) { p.HorLines(); })},
        {"CrossLines",
         "Draws the current page's two diagonals; starts a page when none is started." + refused +
             ".",
         {},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A&) { p.CrossLines(); })},
        {"ClearKopregels",
         "Removes every header line; MaxKopregel becomes 0.",
         {},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A&) { p.ClearKopregels(); })},
        {"AddKopregel",
         "Adds a header text, printed at the top of every page that starts after it "
         "(placeholders such as #B expanded there). Error 7 past 1 000 000 header elements.",
         {{"PrLine", kHeaderLine, K::Long},
          {"PrPos", kPosition, K::Number},
          {"Tekst", "the text", K::Text}},
         {opt("Kleur", K::Long, zero, kColour), opt("DrawMode", K::Long, none_, kDrawMode)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.AddKopregel(a[0], a[1], a[2], a[3], a[4]); })},
        {"AddKopregelBox",
         "Adds a box to the header of every page that starts after it (both line numbers "
         "first, then both positions).",
         kopFromTo,
         {opt("Kleur", K::Long, zero, kColour), flag("FillArea", false, kFillArea),
          opt("Dikte", K::Number, one, kThickness), opt("DrawMode", K::Long, none_, kDrawMode)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) {
             p.AddKopregelBox(a[0], a[1], a[2], a[3], a[4], a[5].toBoolean(), a[6], a[7]);
         })},
        {"AddKopregelLine",
         "Adds a line to the header of every page that starts after it (both line numbers "
         "first, then both positions).",
         kopFromTo,
         {opt("Kleur", K::Long, zero, kColour), opt("Dikte", K::Number, one, kThickness),
          opt("DrawMode", K::Long, none_, kDrawMode)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.AddKopregelLine(a[0], a[1], a[2], a[3], a[4], a[5], a[6]); })},
        {"AddTekst",
         "Prints a text at a line and position of the report, placeholders (#D, #T, #B, #L, "
         "#0 to #9) expanded; starts a new page when the line is past the page's end. In the "
         "screen modes a finished page waits for the user's confirmation: call without a reply "
         "timeout. Returns false on every path." +
             draws + ", 7 for a text or an expansion past 1 048 576 characters.",
         {{"Regel", kLine, K::Long},
          {"Positie", kPosition, K::Number},
          {"AfdrukTekst", "the text", K::Text}},
         {opt("Kleur", K::Long, none_, "the colour as 0x00BBGGRR (omitted: PrintForeColor)"),
          opt("DrawMode", K::Long, none_, kDrawMode), flag("AddTabel", true, kAddTabel)},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) {
             return p.AddTekst(a[0], a[1], a[2], a[3], a[4], a[5].toBoolean());
         })},
        {"AddLine",
         "Draws a straight line between two cells of the report (line, position, line, "
         "position); starts a new page as AddTekst does." +
             draws + ".",
         fromTo,
         {opt("Kleur", K::Long, none_, "the colour as 0x00BBGGRR (omitted: PrintForeColor)"),
          opt("Dikte", K::Number, one, kThickness), opt("DrawMode", K::Long, none_, kDrawMode),
          flag("AddTabel", true, kAddTabel)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) {
             p.AddLine(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7].toBoolean());
         })},
        {"AddBox",
         "Draws a box from one cell of the report to another (line, position, line, "
         "position); starts a new page as AddTekst does." +
             draws + ".",
         fromTo,
         {opt("Kleur", K::Long, none_, "the colour as 0x00BBGGRR (omitted: PrintForeColor)"),
          flag("FillArea", false, kFillArea), opt("Dikte", K::Number, one, kThickness),
          opt("DrawMode", K::Long, none_, kDrawMode), flag("AddTabel", true, kAddTabel)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) {
             p.AddBox(a[0], a[1], a[2], a[3], a[4], a[5].toBoolean(), a[6], a[7], a[8].toBoolean());
         })},
        {"CheckRegelsBeschikbaar",
         "Keeps a block of lines together: when the block does not fit on the current page, "
         "starts a new one (NieuwBlad). Returns true when the block fits." +
             draws + ".",
         {{"HuidigeRegel", "the block's first line", K::Long},
          {"AantalRegels", "how many lines the block takes", K::Long}},
         {},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) { return p.CheckRegelsBeschikbaar(a[0], a[1]); })},
        {"NieuwBlad",
         "Ends the current page; the next output starts a new one. In the screen modes the "
         "user confirms the page (false after 'Afbreken'; call without a reply timeout), in "
         "'P' it returns true; false when the window's page holds nothing." +
             draws + ".",
         {{"Regel", "the report line at which the next page starts", K::Long}},
         {},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) { return p.NieuwBlad(a[0]); })},
        {"PrintFromSjabloon",
         "Prints a template file line by line (lines end at CR, LF or CR LF; UTF-8, else "
         "Windows-1252); an empty name asks "
         "for the file in a dialog. Returns false; the second result is the template's name "
         "as used ('' when the dialog was cancelled). Errors: the file's (53 not found, 75 "
         "not readable, 7 a line past 1 048 576 characters) and those of AddTekst.",
         {{"DatabaseNaam", "not used", K::Any},
          {"strSQL", "not used", K::Any},
          {"Sjabloonnaam", "the template file's path, or '' for the dialog", K::Text}},
         {},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) { return p.PrintFromSjabloon(a[0], a[1], a[2]); }),
         {2}},
        {"ToonBlad",
         "Opens the file named by PrintFileName for reading under PrintFilenr and keeps it "
         "open until the object is released; shows nothing. Returns Empty. Errors: the file's "
         "(53 not found, 55 already open, 67 past the files a client may hold, 75 not a regular "
         "file).",
         {{"Bladnummer", "the page's number (not used)", K::Any}},
         {},
         ResultKind::Value,
         Access::Held,
         [](P& p, A& a) { return p.ToonBlad(a[0]); }},
    };
}

// A public variable of a fixed type: read as that type, written through the conversion.
template <typename T>
PropertySpec variable(const char* name, const char* type, T P::*field, Variant (*wrap)(T),
                      T (Variant::*convert)() const, const char* doc) {
    return {QString::fromLatin1(name),
            QString::fromLatin1(type),
            [field, wrap](const P& p) { return wrap(p.*field); },
            [field, convert](P& p, const Variant& v) { p.*field = (v.*convert)(); },
            toWire,
            QString::fromUtf8(doc),
            std::is_same_v<T, bool> ? K::Boolean : K::Long};
}

// A public variable that holds a dynamic value, stored as given.
PropertySpec dynamic(const char* name, Variant P::*field, K kind, const char* doc,
                     QVariant (*encode)(const Variant&) = toWire) {
    return {QString::fromLatin1(name),
            QStringLiteral("v"),
            [field](const P& p) { return p.*field; },
            [field](P& p, const Variant& v) { p.*field = v; },
            encode,
            QString::fromUtf8(doc),
            kind};
}

// One of the nine properties: the get returns the stored value, the put stores and applies.
PropertySpec property(const char* name, Variant (P::*get)() const, void (P::*let)(const Variant&),
                      K kind, const char* doc) {
    return {QString::fromLatin1(name),
            QStringLiteral("v"),
            [get](const P& p) { return (p.*get)(); },
            [let](P& p, const Variant& v) { (p.*let)(v); },
            toWire,
            QString::fromUtf8(doc),
            kind};
}

std::vector<PropertySpec> makeProperties() {
    return {
        variable<int32_t>("CurrentPage", "i", &P::CurrentPage, &Variant::Long, &Variant::toLong,
                          "The number of the page being composed (#B); 0 in a new object."),
        variable<int32_t>("CurrentLine", "i", &P::CurrentLine, &Variant::Long, &Variant::toLong,
                          "The page's line offset; -1 until a page is started."),
        variable<int32_t>("StartLine", "i", &P::StartLine, &Variant::Long, &Variant::toLong,
                          "The report line at which the current page began."),
        variable<int16_t>("PrintFilenr", "n", &P::PrintFilenr, &Variant::Integer,
                          &Variant::toInteger, "The file number ToonBlad opened; 0 for none."),
        dynamic("PrintFileName", &P::PrintFileName, K::Any, "The file ToonBlad opens."),
        dynamic("MaxKopregel", &P::MaxKopregel, K::Long,
                "How many header elements there are (n, or i past 16 bits); error 7 past "
                "1 000 000.",
                countToWire),
        dynamic("MaxDetailregel", &P::MaxDetailregel, K::Long,
                "How many body elements the current page keeps (n, or i past 16 bits); error 7 "
                "past 1 000 000.",
                countToWire),
        variable<bool>("AnnulerenPressed", "b", &P::AnnulerenPressed, &Variant::Boolean,
                       &Variant::toBoolean,
                       "True once the user has pressed 'Afbreken' at a page confirmation."),
        property("PrintColorMode", &P::PrintColorMode, &P::letPrintColorMode, K::Long,
                 "The printer's colour mode: 1 grey, 2 colour."),
        property("ScreenForeColor", &P::ScreenForeColor, &P::letScreenForeColor, K::Long,
                 "The window's text colour, 0x00BBGGRR."),
        property("ScreenBackColor", &P::ScreenBackColor, &P::letScreenBackColor, K::Long,
                 "The window's background colour, 0x00BBGGRR."),
        property("ScreenFontName", &P::ScreenFontName, &P::letScreenFontName, K::Text,
                 "The window's font; error 380 past 255 characters."),
        property("ScreenFontSize", &P::ScreenFontSize, &P::letScreenFontSize, K::Number,
                 "The window's font size in points; error 380 above 2160 or not positive."),
        property("PrintForeColor", &P::PrintForeColor, &P::letPrintForeColor, K::Long,
                 "The printer's colour, 0x00BBGGRR: that of texts, lines and boxes without "
                 "Kleur."),
        property("PrintFontSize", &P::PrintFontSize, &P::letPrintFontSize, K::Number,
                 "The printer's font size in points, which sets the page grid; error 380 above "
                 "2160 or not positive."),
        property("PrintFontName", &P::PrintFontName, &P::letPrintFontName, K::Text,
                 "The printer's font ('Courier New' is Liberation Mono), which sets the page "
                 "grid; error 380 past 255 characters."),
        property("PrintBackColor", &P::PrintBackColor, &P::letPrintBackColor, K::Long,
                 "The colour the sheet is printed on, 0x00BBGGRR; on a sheet with output it is "
                 "painted over that output at once."),
    };
}

template <typename Entry>
const Entry* findByName(const std::vector<Entry>& entries, const QString& name) {
    for (const Entry& entry : entries)
        if (entry.name == name) return &entry;
    return nullptr;
}

}  // namespace

QVariant PropertySpec::wire(const clsPrint& print) const {
    const QVariant value = encode(read(print));
    return type == QLatin1String("v") ? QVariant::fromValue(QDBusVariant(value)) : value;
}

QString MethodSpec::inSignature() const {
    QString signature = QString(required.size(), QLatin1Char('v'));
    if (!optional.empty()) signature += QLatin1String("a{sv}");
    return signature;
}

QString MethodSpec::outSignature() const {
    QString signature;
    if (result == ResultKind::Value) signature = QStringLiteral("v");
    if (result == ResultKind::Boolean) signature = QStringLiteral("b");
    return signature + QString(static_cast<int>(writtenBack.size()), QLatin1Char('v'));
}

const char* const kReleaseDoc =
    "Releases the object: its job is ended and printed, the path is not used again. A refused "
    "job is error 482, and the object is released all the same.";

const std::vector<MethodSpec>& clsPrintMethods() {
    static const std::vector<MethodSpec> methods = makeMethods();
    return methods;
}

const std::vector<PropertySpec>& clsPrintProperties() {
    static const std::vector<PropertySpec> properties = makeProperties();
    return properties;
}

const std::vector<SignalSpec>& clsPrintSignals() {
    static const std::vector<SignalSpec> signals_ = {
        {"BladAfgedrukt",
         {{"Bladnummer", "i", "the sheet's number within its job, from 1"}},
         "A sheet of a print job is finished on the printer: sent at the page change that ejects "
         "it, and for the last one when the job ends."},
        {"Melding",
         {{"FoutNummer", "i", "80: a parameter number outside 0 to 9"},
          {"Tekst", "s", "'Parameternummer fout: ' and the number"}},
         "A call was refused without an error reply (SetParm with a bad number)."},
    };
    return signals_;
}

const std::vector<SignalSpec>& jobSignals() {
    static const std::vector<SignalSpec> signals_ = {
        {"JobEnded",
         {{"destination", "s", "pdf:DIR or the CUPS queue"},
          {"document", "s", "the PDF file's path, or the CUPS job id"},
          {"pages", "i", "the job's page count"}},
         "A print job of this object reached its destination: sent on the path of the object "
         "whose output started the job, whoever ended it. A refused job sends none (the call "
         "that ended it gets error 482)."},
        {"JobFinished",
         {{"document", "s", "the CUPS job id, as JobEnded named it"},
          {"state", "s", "completed, aborted, canceled or held"},
          {"reason", "s", "why, when CUPS says ('queue stopped' for a held job), else ''"}},
         "What became of a job of this object at its CUPS queue: sent once CUPS completed, "
         "aborted or canceled it, or holds it because the queue is stopped or rejecting; also "
         "after the object's release. PDF files send none: JobEnded names the finished file."},
    };
    return signals_;
}

const std::vector<OptionalParameter>& createOptions() {
    static const std::vector<OptionalParameter> options = {
        {QStringLiteral("Persistent"), Variant::Boolean(false), true,
         QStringLiteral("false: the object is released when the creating connection leaves the "
                        "bus, true: it lives until Release, with a print context of its own (for "
                        "busctl and gdbus, whose every call is a connection of its own)"),
         K::Boolean},
        {QStringLiteral("Printer"), Variant(), false,
         QStringLiteral("the destination of the jobs this object starts, a CUPS queue or "
                        "pdf:DIR with an absolute DIR (error 482 for a queue CUPS does not "
                        "know, 5 for a relative folder), '' or omitted: the server's own"),
         K::Text},
        {QStringLiteral("Group"), Variant(), false,
         QStringLiteral("a name: the object shares one print context (printer, page grid, "
                        "windows, numbered files) with every object created with this name, "
                        "from any connection; it wins over Persistent. '' or omitted: the "
                        "objects of the creating connection share one"),
         K::Text},
        // Taken out with their own types (takeJobOptions) before the others are read.
        {QStringLiteral("JobOptions"), Variant(), false,
         QStringLiteral(
             "a{ss} of CUPS job options (copies, sides, media, print-color-mode, "
             "page-ranges, ...) for the jobs this object starts; error 482 names an "
             "option CUPS refuses, 13 for another type, 7 past 1000 options or 1 048 576 "
             "characters of names and values")},
        {QStringLiteral("Title"), Variant(), false,
         QStringLiteral("s: the title of the jobs this object starts (the CUPS job's name, the "
                        "PDF's Title); omitted: the application's title"),
         K::Text},
    };
    return options;
}

const MethodSpec* findMethod(const QString& name) {
    return findByName(clsPrintMethods(), name);
}

const PropertySpec* findProperty(const QString& name) {
    return findByName(clsPrintProperties(), name);
}

}  // namespace zel
