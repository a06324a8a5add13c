#pragma once

#include <QString>
#include <QVector>

class TDoc;
class TLabel;
class TPanel;
class TBevel;
class TImage;
class TStringGrid;
class TPaymentCode;
struct Invoice;

// The invoice page as data: every part of the page in the order it is created (which is also the
// order it is drawn in), with its place, its design caption, its font and look, and for the
// fields the part of the document it shows and how a click edits it. The page is built from this
// table and goes back to these places before it shows a document again.

struct PageFont {
    const char *family;
    int pixels;
    bool bold;
};

enum class PartKind { Label, FixedLabel, Panel, Bevel, Image, Grid, Code };

// The background of a label: none, the silver of a field to fill (seeThrough: drawn transparent
// where the block shows white through it), or white.
enum class PartLook { Plain, Silver, SilverSeeThrough, White };

// What a click on a label does.
enum class PartEdit {
    None,
    Text,       // a one-line query replaces the field
    NumberLine, // the manual number and date
    Reference,  // the date and number of the invoice a note corrects
};

// The supplier's labels keep their captions ("(Фирма)") until an own company is taken.
enum class PartGroup { None, Supplier };

struct PagePart {
    PartKind kind;
    const char *name;
    const char *parent;           // "Panel1" or the name of a panel created before
    int left, top, width, height; // width and height only for what does not size itself
    QString text;                 // a label's design caption, also its placeholder
    PageFont font;
    PartLook look = PartLook::Plain;
    PartEdit edit = PartEdit::None;
    PartGroup group = PartGroup::None;
    // The document's text the label shows and the step that stores an edit of it; none for a
    // caption of the page's own.
    QString (*show)(const Invoice &) = nullptr;
    void (*store)(Invoice &, const QString &) = nullptr;
    // The width at which the shown text goes on at a blank on a further line (0: one line, cut at
    // maxWidth); the rows below in its block move down by wrapShift for each further line (0: the
    // font's line spacing, so that nothing is drawn over).
    int wrapWidth = 0;
    int wrapShift = 0;
    // The widest the label may be (0: no limit); a line wider than that is cut with "…".
    int maxWidth = 0;
    // The most lines the field shows (0: any number); what is beyond is cut with "…", so that a
    // long text from the master data still leaves the page one page.
    int maxLines = 0;
    // The longest text the user may type into the field (0: no limit).
    int maxChars = 0;
    // The member of the page that holds the part.
    TLabel *TDoc::*label = nullptr;
    TPanel *TDoc::*panel = nullptr;
    TBevel *TDoc::*bevel = nullptr;
    TImage *TDoc::*image = nullptr;
    TStringGrid *TDoc::*grid = nullptr;
    TPaymentCode *TDoc::*code = nullptr;
};

// The parts of the page, in order.
const QVector<PagePart> &PageParts();
