#include "linklabel/TextHandler.h"

namespace qe {

namespace {

bool BeginsWithSpace(const std::string& S)
{
    return !S.empty() && S.front() == ' ';
}
bool EndsWithSpace(const std::string& S)
{
    return !S.empty() && S.back() == ' ';
}

// S without trailing blanks and control characters.
std::string TrimRight(const std::string& S)
{
    std::size_t End = S.size();
    while (End > 0 && static_cast<unsigned char>(S[End - 1]) <= ' ')
        --End;
    return S.substr(0, End);
}

} // namespace

// --- TTextElementList

void TTextElementList::AddString(TStringNode* Node, TFontStyles Styles, TColor Color)
{
    FItems.push_back(std::make_unique<TStringElement>(Node, Styles, Color));
}

void TTextElementList::AddLineBreak()
{
    FItems.push_back(std::make_unique<TActionElement>(bkLine));
}

void TTextElementList::AddParagraphBreak()
{
    FItems.push_back(std::make_unique<TActionElement>(bkParagraph));
}

// --- TNodeObserverList

void TNodeObserverList::AddObserver(IStartingPosObserverRef Observer, TAreaNode* AreaNode, TStringNode* StringNode)
{
    auto Record = std::make_unique<TNodeObserver>();
    Record->Observer = std::move(Observer);
    Record->AreaNode = AreaNode;
    Record->StringNode = StringNode;
    Blocks.push_back(std::move(Record));
}

int32_t TNodeObserverList::IndexOfStringNode(const TStringNode* Node) const
{
    for (std::size_t i = 0; i < Blocks.size(); ++i)
        if (Blocks[i]->StringNode == Node)
            return static_cast<int32_t>(i);
    return -1;
}

void TNodeObserverList::RemoveObserver(const TNodeObserver* Record)
{
    for (auto It = Blocks.begin(); It != Blocks.end(); ++It)
        if (It->get() == Record) {
            Blocks.erase(It);
            return;
        }
}

// --- TWordEnumerator

std::string TWordEnumerator::GetNext(bool Advance)
{
    if (!HasNext())
        throw ETextHandlerError("TWordEnumerator.GetNext: No more words to return");
    const std::size_t Start = static_cast<std::size_t>(Position - 1);
    std::size_t Space = Text.find(' ', Start);
    const std::size_t End = Space == std::string::npos ? Text.size() : Space + 1;
    std::string Word = Text.substr(Start, End - Start);
    if (Advance) {
        Position = static_cast<int64_t>(End) + 1;
        ++Taken;
    }
    return Word;
}

// --- TTextHandler

TTextHandler::TTextHandler(const TRect& Rect, int32_t X, int32_t Y, TCanvas& Canvas)
    : WriteX(X), WriteY(Y), BoundsRect(Rect), TargetCanvas(Canvas)
{
    // Every line is as high as the plain font's "fg", whatever styles the text uses.
    struct TStyleRestore {
        TCanvas& Canvas;
        TFontStyles Saved;
        ~TStyleRestore() { Canvas.SetFontStyles(Saved); }
    } Restore{Canvas, Canvas.GetFontStyles()};
    Canvas.SetFontStyles({});
    RowHeight = Canvas.TextHeight("fg");
}

void TTextHandler::QueueString(TStringNode* Node, TFontStyles Styles, TColor Color)
{
    if (BeginsWithSpace(Node->Text))
        EmptyBuffer();
    Buffer.AddString(Node, Styles, Color);
    if (EndsWithSpace(Node->Text))
        EmptyBuffer();
}

void TTextHandler::BreakParagraph()
{
    Buffer.AddParagraphBreak();
    EmptyBuffer();
}

void TTextHandler::BreakLine()
{
    Buffer.AddLineBreak();
    EmptyBuffer();
}

void TTextHandler::WatchStartingPos(IStartingPosObserverRef Observer, TAreaNode* Node)
{
    auto* First = static_cast<TStringNode*>(Node->FindFirstOfClass(NodeClassOf<TStringNode>()));
    Observers.AddObserver(std::move(Observer), Node, First);
}

void TTextHandler::EmptyBuffer()
{
    for (std::size_t i = 0; i < Buffer.Count(); ++i) {
        TParentTextElement* Element = Buffer.Items(i);
        if (auto* Action = dynamic_cast<TActionElement*>(Element)) {
            WriteX = BoundsRect.Left;
            WriteY += Action->BreakKind == bkParagraph ? 2 * RowHeight : RowHeight;
        } else if (auto* S = dynamic_cast<TStringElement*>(Element)) {
            LayOutString(i, *S);
        } else {
            throw ETextHandlerError("TTextHandler.EmptyBuffer: Unsupported TParentTextElement descendant encountered");
        }
    }
    Buffer.Clear();
}

void TTextHandler::LayOutString(std::size_t Index, TStringElement& E)
{
    TStringNode& N = *E.Node;
    for (int32_t At = Observers.IndexOfStringNode(&N); At != -1; At = Observers.IndexOfStringNode(&N)) {
        TNodeObserver& Record = Observers.Items(static_cast<std::size_t>(At));
        if (Record.Observer)
            Record.Observer->StartingPosKnown(WriteX, WriteY, Record.AreaNode);
        Observers.RemoveObserver(&Record);
    }

    TargetCanvas.SetFontStyles(E.Styles);
    TargetCanvas.SetFontColor(E.Color);
    TWordEnumerator Words(N.Text);
    std::string LineText;
    int32_t LineWidth = 0;
    N.ClearRects();
    while (Words.HasNext()) {
        const std::string Word = Words.PopWord();
        const int32_t K = Words.GetTaken() - 1;
        int32_t W;
        TWordInfo Info;
        if (N.HasWordInfo(K)) {
            Info = N.GetWordInfo(K);
            W = Info.Width;
        } else {
            MeasureWord(Index, E, Word, K, !Words.HasNext(), W, Info);
            N.AddWordInfo(Info, W);
        }
        LineWidth += W;
        const int32_t Visible = Info.EndsWithSpace ? LineWidth - Info.SpaceWidth : LineWidth;
        // The first word of a piece never wraps at the top-left corner (it could not fit
        // better anywhere), nor when it continues the previous piece's last word (that word
        // was placed as a whole).
        const bool AtCorner = WriteX == BoundsRect.Left && WriteY == BoundsRect.Top && K == 0;
        const bool JoinedHead = N.JoinedToPrevious && K == 0;
        if (Visible + WriteX >= BoundsRect.Right && Word != " " && !AtCorner && !JoinedHead) {
            TargetCanvas.DrawString(WriteX, WriteY, TrimRight(LineText));
            N.AddRect({WriteX, WriteY, WriteX + TargetCanvas.TextWidth(LineText), WriteY + RowHeight});
            LineText.clear();
            WriteX = BoundsRect.Left;
            LineWidth = W;
            WriteY += RowHeight;
        } else if (JoinedHead && Words.HasNext()) {
            // Its cached width is 0; the words after it are measured from its true end.
            LineWidth += TargetCanvas.TextWidth(Word);
        }
        LineText += Word;
    }
    TargetCanvas.DrawString(WriteX, WriteY, LineText);
    const int32_t Width = TargetCanvas.TextWidth(LineText);
    N.AddRect({WriteX, WriteY, WriteX + Width, WriteY + RowHeight});
    WriteX += Width;
}

void TTextHandler::MeasureWord(std::size_t Index, const TStringElement& E, const std::string& Word, int32_t K,
                               bool LastWord, int32_t& W, TWordInfo& Info)
{
    const TStringNode& N = *E.Node;
    const bool JoinedHead = N.JoinedToPrevious && K == 0;
    // The head of a joined piece was measured as the tail of the word before it.
    W = JoinedHead ? 0 : TargetCanvas.TextWidth(Word);
    Info.EndsWithSpace = EndsWithSpace(Word);
    Info.SpaceWidth = TargetCanvas.TextWidth(" ");
    if (!LastWord || JoinedHead)
        return;

    // The word goes on in the following pieces up to the first space: measure each part in
    // its own style, so that the whole word wraps as one.
    for (std::size_t j = Index + 1; j < Buffer.Count(); ++j) {
        auto* Prev = dynamic_cast<TStringElement*>(Buffer.Items(j - 1));
        auto* Next = dynamic_cast<TStringElement*>(Buffer.Items(j));
        if (!Prev || !Next || EndsWithSpace(Prev->Node->Text) || BeginsWithSpace(Next->Node->Text))
            break;
        TargetCanvas.SetFontStyles(Next->Styles);
        TWordEnumerator Words(Next->Node->Text);
        const std::string First = Words.PopWord();
        W += TargetCanvas.TextWidth(First);
        Next->Node->JoinedToPrevious = true;
        // Only a word that runs into the last buffered piece takes that piece's trailing
        // space as the one that does not count against the right margin.
        if (j == Buffer.Count() - 1) {
            Info.EndsWithSpace = EndsWithSpace(First);
            Info.SpaceWidth = TargetCanvas.TextWidth(" ");
        }
        if (Words.HasNext())
            break;
    }
    TargetCanvas.SetFontStyles(E.Styles);
}

} // namespace qe
