"""Every member of a print object with its signature and documentation, every public
variable and property as an attribute. Made by `zelprint interface --python` from the tables
that drive the server: do not edit (a test fails when this file and the tables differ).
"""
# The names are the members' own.
# pylint: disable=invalid-name,too-many-arguments,too-many-public-methods,too-many-lines
from .values import OMITTED, Number, Value


class Members:
    """The members of clsPrint: required parameters by position (or name), optional ones by
    keyword; an optional parameter left OMITTED is not sent, so the member's own rule
    applies."""

    __slots__ = ()

    def _member(self, name, required, optional, named=None):
        raise NotImplementedError

    def _get(self, name):
        raise NotImplementedError

    def _set(self, name, value):
        raise NotImplementedError

    def GetResult(self) -> bool:
        """False once the user has pressed 'Afbreken' at a page confirmation (until Reset), else
        true. Answered at once, even while a confirmation waits.
        """
        return self._member("GetResult", {}, {})

    def Show(self) -> None:
        """Shows the window 'Afdrukken' (in the screen modes 'S' and 'PS'), which stays hidden
        until then.
        """
        return self._member("Show", {}, {})

    def Cls(self) -> None:
        """Ends the report: clears the window's page in the screen modes, ends and prints the print
        job in 'P' and 'PS'; the page counters start again (CurrentPage 0). Errors: 482 when the
        printer's destination refuses the job (an unknown CUPS queue, a PDF folder that cannot be
        written).
        """
        return self._member("Cls", {}, {})

    def SetParm(self, ParmNummer: Number, ParmWaarde: "Value") -> None:
        """Stores a parameter for the placeholders #0 to #9. A number outside 0 to 9 stores nothing
        and sends the signal Melding (80, 'Parameternummer fout: N'); error 9 when the number
        rounds to a slot outside 0 to 9.

        ParmNummer: the parameter's number, 0 to 9

        ParmWaarde: its value, any kind, formatted where the placeholder is printed
        """
        return self._member("SetParm", {"ParmNummer": ParmNummer, "ParmWaarde": ParmWaarde}, {})

    def Watermerk(self, Tekst: str, *, FontSizeScherm: Number = 48, FontSizePrinter: Number = 72,
                  ForeColor: int = 14540253, AddTabel: bool = True, **named: "Value") -> None:
        """Prints a text centred on the page in large letters; starts a page when none is started.
        Errors: 482 when the printer's destination refuses the job (an unknown CUPS queue, a PDF
        folder that cannot be written), 380 for a font size above 2160 points.

        Tekst: the text; placeholders are expanded

        FontSizeScherm: the font size in points in the window

        FontSizePrinter: the font size in points on the printer

        ForeColor: the colour as 0x00BBGGRR (red in the low byte)

        AddTabel: true: also kept for the page's redraw in the window 'Afdrukken', false: drawn
        only
        """
        return self._member("Watermerk", {"Tekst": Tekst}, {"FontSizeScherm": FontSizeScherm,
                            "FontSizePrinter": FontSizePrinter, "ForeColor": ForeColor,
                            "AddTabel": AddTabel}, named)

    def SetMode(self, UitvoerMode: str) -> None:
        """Sets the output mode, stored as given and compared upper-cased: 'P' the printer, 'S' the
        window 'Afdrukken' with a confirmation of each page, 'PS' both, 'F' (or anything else)
        nothing is drawn. A new object starts in 'S'.

        UitvoerMode: 'P', 'S', 'PS' or 'F'
        """
        return self._member("SetMode", {"UitvoerMode": UitvoerMode}, {})

    def SetOrientation(self, Orientation: int) -> None:
        """Turns the paper; a page with output ends the job first, so that it is printed. Errors:
        only 482, when the job it ended was refused.

        Orientation: 1 portrait, 2 landscape
        """
        return self._member("SetOrientation", {"Orientation": Orientation}, {})

    def SetDefault(self, Defaultnaam: str) -> None:
        """Applies a named set of margins, fonts and colours ('Terminal': margins 800 twips, 6
        points; 'Terminal7B': margins 400, 7 points, bold); another name changes nothing. A new
        object starts with 'Terminal'.

        Defaultnaam: 'Terminal' or 'Terminal7B', matched without regard to case
        """
        return self._member("SetDefault", {"Defaultnaam": Defaultnaam}, {})

    def Reset(self, *, UitvoerMode: str = OMITTED, HorLines: bool = False, CrossLines: bool = False,
              **named: "Value") -> "Value":
        """Starts a new report: a page with output ends the job (printed), the counters start again
        with CurrentPage 1 (so the first page is numbered 2). Header lines, parameters, fonts and
        margins stay. Returns Empty. Errors: 482 when the printer's destination refuses the job (an
        unknown CUPS queue, a PDF folder that cannot be written).

        UitvoerMode: the output mode, as SetMode takes it (omitted: it stays)

        HorLines: true: a frame along the margins on every page

        CrossLines: true: the page's two diagonals on every page
        """
        return self._member("Reset", {}, {"UitvoerMode": UitvoerMode, "HorLines": HorLines,
                            "CrossLines": CrossLines}, named)

    def Spacing(self, *, LeftSpacing: Number = OMITTED, RightSpacing: Number = OMITTED,
                TopSpacing: Number = OMITTED, BottomSpacing: Number = OMITTED,
                **named: "Value") -> None:
        """Sets the margins in twips (1/1440 inch); the page grid follows at the next page. An
        omitted margin keeps its value.

        LeftSpacing: the left margin in twips

        RightSpacing: the right margin in twips

        TopSpacing: the top margin in twips

        BottomSpacing: the bottom margin in twips
        """
        return self._member("Spacing", {}, {"LeftSpacing": LeftSpacing,
                            "RightSpacing": RightSpacing, "TopSpacing": TopSpacing,
                            "BottomSpacing": BottomSpacing}, named)

    def HorLines(self) -> None:
        """Draws a frame along the margins of the current page; starts a page when none is started.
        Errors: 482 when the printer's destination refuses the job (an unknown CUPS queue, a PDF
        folder that cannot be written).
        """
        return self._member("HorLines", {}, {})

    def CrossLines(self) -> None:
        """Draws the current page's two diagonals; starts a page when none is started. Errors: 482
        when the printer's destination refuses the job (an unknown CUPS queue, a PDF folder that
        cannot be written).
        """
        return self._member("CrossLines", {}, {})

    def ClearKopregels(self) -> None:
        """Removes every header line; MaxKopregel becomes 0.
        """
        return self._member("ClearKopregels", {}, {})

    def AddKopregel(self, PrLine: int, PrPos: Number, Tekst: str, *, Kleur: int = 0,
                    DrawMode: int = OMITTED, **named: "Value") -> None:
        """Adds a header text, printed at the top of every page that starts after it (placeholders
        such as #B expanded there). Error 7 past 1 000 000 header elements.

        PrLine: the header line, from 1 at the top margin

        PrPos: the character position on the line, from 1 inside the margins

        Tekst: the text

        Kleur: the colour as 0x00BBGGRR (red in the low byte)

        DrawMode: the pen's raster operation as the platform numbers them (13 draws in the pen's
        colour)
        """
        return self._member("AddKopregel", {"PrLine": PrLine, "PrPos": PrPos, "Tekst": Tekst},
                            {"Kleur": Kleur, "DrawMode": DrawMode}, named)

    def AddKopregelBox(self, PrLine: int, PrLineTot: int, PrPos: Number, PrPosTot: Number, *,
                       Kleur: int = 0, FillArea: bool = False, Dikte: Number = 1,
                       DrawMode: int = OMITTED, **named: "Value") -> None:
        """Adds a box to the header of every page that starts after it (both line numbers first,
        then both positions).

        PrLine: the header line, from 1 at the top margin

        PrLineTot: the last header line

        PrPos: the character position on the line, from 1 inside the margins

        PrPosTot: the last position

        Kleur: the colour as 0x00BBGGRR (red in the low byte)

        FillArea: true: the box is filled with its colour

        Dikte: the line width in device pixels (on the printer 1/600 inch: 1 is a hairline)

        DrawMode: the pen's raster operation as the platform numbers them (13 draws in the pen's
        colour)
        """
        return self._member("AddKopregelBox", {"PrLine": PrLine, "PrLineTot": PrLineTot,
                            "PrPos": PrPos, "PrPosTot": PrPosTot}, {"Kleur": Kleur,
                            "FillArea": FillArea, "Dikte": Dikte, "DrawMode": DrawMode}, named)

    def AddKopregelLine(self, PrLine: int, PrLineTot: int, PrPos: Number, PrPosTot: Number, *,
                        Kleur: int = 0, Dikte: Number = 1, DrawMode: int = OMITTED,
                        **named: "Value") -> None:
        """Adds a line to the header of every page that starts after it (both line numbers first,
        then both positions).

        PrLine: the header line, from 1 at the top margin

        PrLineTot: the last header line

        PrPos: the character position on the line, from 1 inside the margins

        PrPosTot: the last position

        Kleur: the colour as 0x00BBGGRR (red in the low byte)

        Dikte: the line width in device pixels (on the printer 1/600 inch: 1 is a hairline)

        DrawMode: the pen's raster operation as the platform numbers them (13 draws in the pen's
        colour)
        """
        return self._member("AddKopregelLine", {"PrLine": PrLine, "PrLineTot": PrLineTot,
                            "PrPos": PrPos, "PrPosTot": PrPosTot}, {"Kleur": Kleur, "Dikte": Dikte,
                            "DrawMode": DrawMode}, named)

    def AddTekst(self, Regel: int, Positie: Number, AfdrukTekst: str, *, Kleur: int = OMITTED,
                 DrawMode: int = OMITTED, AddTabel: bool = True, **named: "Value") -> bool:
        """Prints a text at a line and position of the report, placeholders (#D, #T, #B, #L, #0 to
        #9) expanded; starts a new page when the line is past the page's end. In the screen modes a
        finished page waits for the user's confirmation: call without a reply timeout. Returns
        false on every path. Errors: 482 when the printer's destination refuses the job (an unknown
        CUPS queue, a PDF folder that cannot be written), 6 when a line number does not fit 32
        bits, 7 for a text or an expansion past 1 048 576 characters.

        Regel: the report's line number (from 1), mapped to the page's row; a line past the page's
        end starts a new page first

        Positie: the character position on the line, from 1 inside the margins

        AfdrukTekst: the text

        Kleur: the colour as 0x00BBGGRR (omitted: PrintForeColor)

        DrawMode: the pen's raster operation as the platform numbers them (13 draws in the pen's
        colour)

        AddTabel: true: also kept for the page's redraw in the window 'Afdrukken', false: drawn
        only
        """
        return self._member("AddTekst", {"Regel": Regel, "Positie": Positie,
                            "AfdrukTekst": AfdrukTekst}, {"Kleur": Kleur, "DrawMode": DrawMode,
                            "AddTabel": AddTabel}, named)

    def AddLine(self, RegelVan: int, PositieVan: Number, RegelTot: int, PositieTot: Number, *,
                Kleur: int = OMITTED, Dikte: Number = 1, DrawMode: int = OMITTED,
                AddTabel: bool = True, **named: "Value") -> None:
        """Draws a straight line between two cells of the report (line, position, line, position);
        starts a new page as AddTekst does. Errors: 482 when the printer's destination refuses the
        job (an unknown CUPS queue, a PDF folder that cannot be written), 6 when a line number does
        not fit 32 bits.

        RegelVan: the report's line number (from 1), mapped to the page's row; a line past the
        page's end starts a new page first

        PositieVan: the character position on the line, from 1 inside the margins

        RegelTot: the last line

        PositieTot: the last position

        Kleur: the colour as 0x00BBGGRR (omitted: PrintForeColor)

        Dikte: the line width in device pixels (on the printer 1/600 inch: 1 is a hairline)

        DrawMode: the pen's raster operation as the platform numbers them (13 draws in the pen's
        colour)

        AddTabel: true: also kept for the page's redraw in the window 'Afdrukken', false: drawn
        only
        """
        return self._member("AddLine", {"RegelVan": RegelVan, "PositieVan": PositieVan,
                            "RegelTot": RegelTot, "PositieTot": PositieTot}, {"Kleur": Kleur,
                            "Dikte": Dikte, "DrawMode": DrawMode, "AddTabel": AddTabel}, named)

    def AddBox(self, RegelVan: int, PositieVan: Number, RegelTot: int, PositieTot: Number, *,
               Kleur: int = OMITTED, FillArea: bool = False, Dikte: Number = 1,
               DrawMode: int = OMITTED, AddTabel: bool = True, **named: "Value") -> None:
        """Draws a box from one cell of the report to another (line, position, line, position);
        starts a new page as AddTekst does. Errors: 482 when the printer's destination refuses the
        job (an unknown CUPS queue, a PDF folder that cannot be written), 6 when a line number does
        not fit 32 bits.

        RegelVan: the report's line number (from 1), mapped to the page's row; a line past the
        page's end starts a new page first

        PositieVan: the character position on the line, from 1 inside the margins

        RegelTot: the last line

        PositieTot: the last position

        Kleur: the colour as 0x00BBGGRR (omitted: PrintForeColor)

        FillArea: true: the box is filled with its colour

        Dikte: the line width in device pixels (on the printer 1/600 inch: 1 is a hairline)

        DrawMode: the pen's raster operation as the platform numbers them (13 draws in the pen's
        colour)

        AddTabel: true: also kept for the page's redraw in the window 'Afdrukken', false: drawn
        only
        """
        return self._member("AddBox", {"RegelVan": RegelVan, "PositieVan": PositieVan,
                            "RegelTot": RegelTot, "PositieTot": PositieTot}, {"Kleur": Kleur,
                            "FillArea": FillArea, "Dikte": Dikte, "DrawMode": DrawMode,
                            "AddTabel": AddTabel}, named)

    def CheckRegelsBeschikbaar(self, HuidigeRegel: int, AantalRegels: int) -> bool:
        """Keeps a block of lines together: when the block does not fit on the current page, starts
        a new one (NieuwBlad). Returns true when the block fits. Errors: 482 when the printer's
        destination refuses the job (an unknown CUPS queue, a PDF folder that cannot be written), 6
        when a line number does not fit 32 bits.

        HuidigeRegel: the block's first line

        AantalRegels: how many lines the block takes
        """
        return self._member("CheckRegelsBeschikbaar", {"HuidigeRegel": HuidigeRegel,
                            "AantalRegels": AantalRegels}, {})

    def NieuwBlad(self, Regel: int) -> bool:
        """Ends the current page; the next output starts a new one. In the screen modes the user
        confirms the page (false after 'Afbreken'; call without a reply timeout), in 'P' it returns
        true; false when the window's page holds nothing. Errors: 482 when the printer's
        destination refuses the job (an unknown CUPS queue, a PDF folder that cannot be written), 6
        when a line number does not fit 32 bits.

        Regel: the report line at which the next page starts
        """
        return self._member("NieuwBlad", {"Regel": Regel}, {})

    def PrintFromSjabloon(self, DatabaseNaam: "Value", strSQL: "Value",
                          Sjabloonnaam: str) -> tuple[bool, "Value"]:
        """Prints a template file line by line (lines end at CR, LF or CR LF; UTF-8, else
        Windows-1252); an empty name asks for the file in a dialog. Returns false; the second
        result is the template's name as used ('' when the dialog was cancelled). Errors: the
        file's (53 not found, 75 not readable, 7 a line past 1 048 576 characters) and those of
        AddTekst.

        DatabaseNaam: not used

        strSQL: not used

        Sjabloonnaam: the template file's path, or '' for the dialog
        """
        return self._member("PrintFromSjabloon", {"DatabaseNaam": DatabaseNaam, "strSQL": strSQL,
                            "Sjabloonnaam": Sjabloonnaam}, {})

    def ToonBlad(self, Bladnummer: "Value") -> "Value":
        """Opens the file named by PrintFileName for reading under PrintFilenr and keeps it open
        until the object is released; shows nothing. Returns Empty. Errors: the file's (53 not
        found, 55 already open, 67 past the files a client may hold, 75 not a regular file).

        Bladnummer: the page's number (not used)
        """
        return self._member("ToonBlad", {"Bladnummer": Bladnummer}, {})

    @property
    def CurrentPage(self) -> int:
        """The number of the page being composed (#B); 0 in a new object.

        Type: int
        """
        return self._get("CurrentPage")

    @CurrentPage.setter
    def CurrentPage(self, value: int) -> None:
        self._set("CurrentPage", value)

    @property
    def CurrentLine(self) -> int:
        """The page's line offset; -1 until a page is started.

        Type: int
        """
        return self._get("CurrentLine")

    @CurrentLine.setter
    def CurrentLine(self, value: int) -> None:
        self._set("CurrentLine", value)

    @property
    def StartLine(self) -> int:
        """The report line at which the current page began.

        Type: int
        """
        return self._get("StartLine")

    @StartLine.setter
    def StartLine(self, value: int) -> None:
        self._set("StartLine", value)

    @property
    def PrintFilenr(self) -> int:
        """The file number ToonBlad opened; 0 for none.

        Type: int
        """
        return self._get("PrintFilenr")

    @PrintFilenr.setter
    def PrintFilenr(self, value: int) -> None:
        self._set("PrintFilenr", value)

    @property
    def PrintFileName(self) -> "Value":
        """The file ToonBlad opens.

        Type: Value
        """
        return self._get("PrintFileName")

    @PrintFileName.setter
    def PrintFileName(self, value: "Value") -> None:
        self._set("PrintFileName", value)

    @property
    def MaxKopregel(self) -> int:
        """How many header elements there are (n, or i past 16 bits); error 7 past 1 000 000.

        Type: int
        """
        return self._get("MaxKopregel")

    @MaxKopregel.setter
    def MaxKopregel(self, value: int) -> None:
        self._set("MaxKopregel", value)

    @property
    def MaxDetailregel(self) -> int:
        """How many body elements the current page keeps (n, or i past 16 bits); error 7 past 1 000
        000.

        Type: int
        """
        return self._get("MaxDetailregel")

    @MaxDetailregel.setter
    def MaxDetailregel(self, value: int) -> None:
        self._set("MaxDetailregel", value)

    @property
    def AnnulerenPressed(self) -> bool:
        """True once the user has pressed 'Afbreken' at a page confirmation.

        Type: bool
        """
        return self._get("AnnulerenPressed")

    @AnnulerenPressed.setter
    def AnnulerenPressed(self, value: bool) -> None:
        self._set("AnnulerenPressed", value)

    @property
    def PrintColorMode(self) -> int:
        """The printer's colour mode: 1 grey, 2 colour.

        Type: int
        """
        return self._get("PrintColorMode")

    @PrintColorMode.setter
    def PrintColorMode(self, value: int) -> None:
        self._set("PrintColorMode", value)

    @property
    def ScreenForeColor(self) -> int:
        """The window's text colour, 0x00BBGGRR.

        Type: int
        """
        return self._get("ScreenForeColor")

    @ScreenForeColor.setter
    def ScreenForeColor(self, value: int) -> None:
        self._set("ScreenForeColor", value)

    @property
    def ScreenBackColor(self) -> int:
        """The window's background colour, 0x00BBGGRR.

        Type: int
        """
        return self._get("ScreenBackColor")

    @ScreenBackColor.setter
    def ScreenBackColor(self, value: int) -> None:
        self._set("ScreenBackColor", value)

    @property
    def ScreenFontName(self) -> str:
        """The window's font; error 380 past 255 characters.

        Type: str
        """
        return self._get("ScreenFontName")

    @ScreenFontName.setter
    def ScreenFontName(self, value: str) -> None:
        self._set("ScreenFontName", value)

    @property
    def ScreenFontSize(self) -> Number:
        """The window's font size in points; error 380 above 2160 or not positive.

        Type: Number
        """
        return self._get("ScreenFontSize")

    @ScreenFontSize.setter
    def ScreenFontSize(self, value: Number) -> None:
        self._set("ScreenFontSize", value)

    @property
    def PrintForeColor(self) -> int:
        """The printer's colour, 0x00BBGGRR: that of texts, lines and boxes without Kleur.

        Type: int
        """
        return self._get("PrintForeColor")

    @PrintForeColor.setter
    def PrintForeColor(self, value: int) -> None:
        self._set("PrintForeColor", value)

    @property
    def PrintFontSize(self) -> Number:
        """The printer's font size in points, which sets the page grid; error 380 above 2160 or not
        positive.

        Type: Number
        """
        return self._get("PrintFontSize")

    @PrintFontSize.setter
    def PrintFontSize(self, value: Number) -> None:
        self._set("PrintFontSize", value)

    @property
    def PrintFontName(self) -> str:
        """The printer's font ('Courier New' is Liberation Mono), which sets the page grid; error
        380 past 255 characters.

        Type: str
        """
        return self._get("PrintFontName")

    @PrintFontName.setter
    def PrintFontName(self, value: str) -> None:
        self._set("PrintFontName", value)

    @property
    def PrintBackColor(self) -> int:
        """The colour the sheet is printed on, 0x00BBGGRR; on a sheet with output it is painted
        over that output at once.

        Type: int
        """
        return self._get("PrintBackColor")

    @PrintBackColor.setter
    def PrintBackColor(self, value: int) -> None:
        self._set("PrintBackColor", value)
