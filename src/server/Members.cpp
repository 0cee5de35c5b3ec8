#include "server/Members.h"

#include <QDBusVariant>

#include "print/clsPrint.h"

namespace zel {

namespace {

OptionalParameter opt(const char* name, const Variant& fallback = Variant::Missing()) {
    return {QString::fromLatin1(name), fallback, false};
}

// A typed Boolean parameter: its wire value is converted with toBoolean.
OptionalParameter flag(const char* name, bool fallback) {
    return {QString::fromLatin1(name), Variant::Boolean(fallback), true};
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

std::vector<MethodSpec> makeMethods() {
    const Variant zero = Variant::Integer(0);
    const Variant one = Variant::Integer(1);
    const QStringList fromTo = {"RegelVan", "PositieVan", "RegelTot", "PositieTot"};
    const QStringList kopFromTo = {"PrLine", "PrLineTot", "PrPos", "PrPosTot"};
    return {
        {"GetResult", {}, {}, ResultKind::Boolean, Access::Read, boolean([](P& p, A&) {
             return p.GetResult();
         })},
        {"Show", {}, {}, ResultKind::None, Access::Held, none([](P& p, A&) { p.Show(); })},
        {"Cls", {}, {}, ResultKind::None, Access::Held, none([](P& p, A&) { p.Cls(); })},
        {"SetParm",
         {"ParmNummer", "ParmWaarde"},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.SetParm(a[0], a[1]); })},
        {"Watermerk",
         {"Tekst"},
         {opt("FontSizeScherm", Variant::Integer(48)), opt("FontSizePrinter", Variant::Integer(72)),
          opt("ForeColor", Variant::Long(14540253)), flag("AddTabel", true)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.Watermerk(a[0], a[1], a[2], a[3], a[4].toBoolean()); })},
        {"SetMode", {"UitvoerMode"}, {}, ResultKind::None, Access::Held, none([](P& p, A& a) {
             p.SetMode(a[0]);
         })},
        {"SetOrientation",
         {"Orientation"},
         {},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.SetOrientation(a[0]); })},
        {"SetDefault", {"Defaultnaam"}, {}, ResultKind::None, Access::Held, none([](P& p, A& a) {
             p.SetDefault(a[0]);
         })},
        {"Reset",
         {},
         {opt("UitvoerMode"), flag("HorLines", false), flag("CrossLines", false)},
         ResultKind::Value,
         Access::Held,
         [](P& p, A& a) { return p.Reset(a[0], a[1].toBoolean(), a[2].toBoolean()); }},
        {"Spacing",
         {},
         {opt("LeftSpacing"), opt("RightSpacing"), opt("TopSpacing"), opt("BottomSpacing")},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.Spacing(a[0], a[1], a[2], a[3]); })},
        {"HorLines", {}, {}, ResultKind::None, Access::Held, none([](P& p, A&) { p.HorLines(); })},
        {"CrossLines", {}, {}, ResultKind::None, Access::Held, none([](P& p, A&) {
             p.CrossLines();
         })},
        {"ClearKopregels", {}, {}, ResultKind::None, Access::Held, none([](P& p, A&) {
             p.ClearKopregels();
         })},
        {"AddKopregel",
         {"PrLine", "PrPos", "Tekst"},
         {opt("Kleur", zero), opt("DrawMode")},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.AddKopregel(a[0], a[1], a[2], a[3], a[4]); })},
        {"AddKopregelBox",
         kopFromTo,
         {opt("Kleur", zero), flag("FillArea", false), opt("Dikte", one), opt("DrawMode")},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) {
             p.AddKopregelBox(a[0], a[1], a[2], a[3], a[4], a[5].toBoolean(), a[6], a[7]);
         })},
        {"AddKopregelLine",
         kopFromTo,
         {opt("Kleur", zero), opt("Dikte", one), opt("DrawMode")},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) { p.AddKopregelLine(a[0], a[1], a[2], a[3], a[4], a[5], a[6]); })},
        {"AddTekst",
         {"Regel", "Positie", "AfdrukTekst"},
         {opt("Kleur"), opt("DrawMode"), flag("AddTabel", true)},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) {
             return p.AddTekst(a[0], a[1], a[2], a[3], a[4], a[5].toBoolean());
         })},
        {"AddLine",
         fromTo,
         {opt("Kleur"), opt("Dikte", one), opt("DrawMode"), flag("AddTabel", true)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) {
             p.AddLine(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7].toBoolean());
         })},
        {"AddBox",
         fromTo,
         {opt("Kleur"), flag("FillArea", false), opt("Dikte", one), opt("DrawMode"),
          flag("AddTabel", true)},
         ResultKind::None,
         Access::Held,
         none([](P& p, A& a) {
             p.AddBox(a[0], a[1], a[2], a[3], a[4], a[5].toBoolean(), a[6], a[7], a[8].toBoolean());
         })},
        {"CheckRegelsBeschikbaar",
         {"HuidigeRegel", "AantalRegels"},
         {},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) { return p.CheckRegelsBeschikbaar(a[0], a[1]); })},
        {"NieuwBlad", {"Regel"}, {}, ResultKind::Boolean, Access::Held, boolean([](P& p, A& a) {
             return p.NieuwBlad(a[0]);
         })},
        {"PrintFromSjabloon",
         {"DatabaseNaam", "strSQL", "Sjabloonnaam"},
         {},
         ResultKind::Boolean,
         Access::Held,
         boolean([](P& p, A& a) { return p.PrintFromSjabloon(a[0], a[1], a[2]); }),
         {2}},
        {"ToonBlad",
         {"Bladnummer"},
         {},
         ResultKind::Value,
         Access::Held,
         [](P& p, A& a) { return p.ToonBlad(a[0]); }},
    };
}

// A public variable of a fixed type: read as that type, written through the conversion.
template <typename T>
PropertySpec variable(const char* name, const char* type, T P::*field, Variant (*wrap)(T),
                      T (Variant::*convert)() const) {
    return {QString::fromLatin1(name), QString::fromLatin1(type),
            [field, wrap](const P& p) { return wrap(p.*field); },
            [field, convert](P& p, const Variant& v) { p.*field = (v.*convert)(); }};
}

// A public variable that holds a dynamic value, stored as given.
PropertySpec dynamic(const char* name, Variant P::*field,
                     QVariant (*encode)(const Variant&) = toWire) {
    return {QString::fromLatin1(name), QStringLiteral("v"),
            [field](const P& p) { return p.*field; },
            [field](P& p, const Variant& v) { p.*field = v; }, encode};
}

// One of the nine properties: the get returns the stored value, the put stores and applies.
PropertySpec property(const char* name, Variant (P::*get)() const, void (P::*let)(const Variant&)) {
    return {QString::fromLatin1(name), QStringLiteral("v"),
            [get](const P& p) { return (p.*get)(); },
            [let](P& p, const Variant& v) { (p.*let)(v); }};
}

std::vector<PropertySpec> makeProperties() {
    return {
        variable<int32_t>("CurrentPage", "i", &P::CurrentPage, &Variant::Long, &Variant::toLong),
        variable<int32_t>("CurrentLine", "i", &P::CurrentLine, &Variant::Long, &Variant::toLong),
        variable<int32_t>("StartLine", "i", &P::StartLine, &Variant::Long, &Variant::toLong),
        variable<int16_t>("PrintFilenr", "n", &P::PrintFilenr, &Variant::Integer,
                          &Variant::toInteger),
        dynamic("PrintFileName", &P::PrintFileName),
        dynamic("MaxKopregel", &P::MaxKopregel, countToWire),
        dynamic("MaxDetailregel", &P::MaxDetailregel, countToWire),
        variable<bool>("AnnulerenPressed", "b", &P::AnnulerenPressed, &Variant::Boolean,
                       &Variant::toBoolean),
        property("PrintColorMode", &P::PrintColorMode, &P::letPrintColorMode),
        property("ScreenForeColor", &P::ScreenForeColor, &P::letScreenForeColor),
        property("ScreenBackColor", &P::ScreenBackColor, &P::letScreenBackColor),
        property("ScreenFontName", &P::ScreenFontName, &P::letScreenFontName),
        property("ScreenFontSize", &P::ScreenFontSize, &P::letScreenFontSize),
        property("PrintForeColor", &P::PrintForeColor, &P::letPrintForeColor),
        property("PrintFontSize", &P::PrintFontSize, &P::letPrintFontSize),
        property("PrintFontName", &P::PrintFontName, &P::letPrintFontName),
        property("PrintBackColor", &P::PrintBackColor, &P::letPrintBackColor),
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
        {"BladAfgedrukt", {{"Bladnummer", "i"}}},
        {"Melding", {{"FoutNummer", "i"}, {"Tekst", "s"}}},
    };
    return signals_;
}

const std::vector<SignalSpec>& jobSignals() {
    static const std::vector<SignalSpec> signals_ = {
        {"JobEnded", {{"destination", "s"}, {"document", "s"}, {"pages", "i"}}},
        {"JobFinished", {{"document", "s"}, {"state", "s"}, {"reason", "s"}}},
    };
    return signals_;
}

const MethodSpec* findMethod(const QString& name) {
    return findByName(clsPrintMethods(), name);
}

const PropertySpec* findProperty(const QString& name) {
    return findByName(clsPrintProperties(), name);
}

}  // namespace zel
