#include "linklabel/TextHandler.h"

#include <algorithm>
#include <iterator>
#include <string_view>

namespace qe {

namespace {

bool EndsWithSpace(const std::string& S)
{
    return !S.empty() && S.back() == ' ';
}

// The length in bytes of the UTF-8 character that begins at S[I]; a byte that begins none
// counts as a character of its own.
std::size_t CharacterLength(const std::string& S, std::size_t I)
{
    const auto Lead = static_cast<unsigned char>(S[I]);
    const std::size_t Length = Lead < 0xC0 ? 1 : Lead < 0xE0 ? 2 : Lead < 0xF0 ? 3 : 4;
    for (std::size_t K = 1; K < Length; ++K)
        if (I + K >= S.size() || (static_cast<unsigned char>(S[I + K]) & 0xC0) != 0x80)
            return 1;
    return Length;
}

char32_t CharacterAt(const std::string& S, std::size_t I)
{
    const std::size_t Length = CharacterLength(S, I);
    if (Length == 1)
        return static_cast<unsigned char>(S[I]);
    char32_t C = static_cast<unsigned char>(S[I]) & (0x7F >> Length);
    for (std::size_t K = 1; K < Length; ++K)
        C = C << 6 | (static_cast<unsigned char>(S[I + K]) & 0x3F);
    return C;
}

// The start of the last character of a non-empty S.
std::size_t LastCharacter(const std::string& S)
{
    std::size_t I = S.size() - 1;
    while (I > 0 && (static_cast<unsigned char>(S[I]) & 0xC0) == 0x80 && S.size() - I < 4)
        --I;
    return CharacterLength(S, I) == S.size() - I ? I : S.size() - 1;
}

// A character of the scripts written without spaces between words: a line may break
// before and after each.
bool IsIdeographic(char32_t C)
{
    return (C >= 0x1100 && C <= 0x115F) || (C >= 0x2E80 && C <= 0x303F) || (C >= 0x3040 && C <= 0x33FF) ||
           (C >= 0x3400 && C <= 0x4DBF) || (C >= 0x4E00 && C <= 0x9FFF) || (C >= 0xA000 && C <= 0xA4CF) ||
           (C >= 0xAC00 && C <= 0xD7A3) || (C >= 0xF900 && C <= 0xFAFF) || (C >= 0xFE30 && C <= 0xFE4F) ||
           (C >= 0xFF00 && C <= 0xFFEF) || (C >= 0x20000 && C <= 0x3FFFF);
}

// Marks that close or continue what stands before them and may not begin a line.
bool ClosesLine(char32_t C)
{
    static const char32_t Marks[] = {U'、', U'。', U'，', U'．', U'：', U'；', U'？', U'！', U'）', U'」', U'』',
                                     U'】', U'〕', U'〉', U'》', U'〗', U'〙', U'〛', U'｝', U'］', U'＞', U'｣',
                                     U'ー', U'ゝ', U'ゞ', U'々', U'ぁ', U'ぃ', U'ぅ', U'ぇ', U'ぉ', U'っ', U'ゃ',
                                     U'ゅ', U'ょ', U'ゎ', U'ァ', U'ィ', U'ゥ', U'ェ', U'ォ', U'ッ', U'ャ', U'ュ',
                                     U'ョ', U'ヮ', U'ヵ', U'ヶ', U'・', U'…',  U'‥',  U'％', U'’',  U'”'};
    return std::find(std::begin(Marks), std::end(Marks), C) != std::end(Marks) ||
           (C < 0x80 && std::string_view(")]},.:;!?%").find(static_cast<char>(C)) != std::string_view::npos);
}

// Marks that open what follows them and may not end a line.
bool OpensLine(char32_t C)
{
    static const char32_t Marks[] = {U'（', U'「', U'『', U'【', U'〔', U'〈', U'《', U'〖',
                                     U'〘', U'〚', U'｛', U'［', U'＜', U'｢',  U'‘',  U'“'};
    return std::find(std::begin(Marks), std::end(Marks), C) != std::end(Marks) ||
           (C < 0x80 && std::string_view("([{").find(static_cast<char>(C)) != std::string_view::npos);
}

// A line may break between the characters Before and After (neither a space).
bool BreaksBetween(char32_t Before, char32_t After)
{
    return (IsIdeographic(Before) || IsIdeographic(After)) && !ClosesLine(After) && !OpensLine(Before);
}

// A line may break before the first character of S: a space, or an ideograph that may
// begin a line. Pieces of text that touch without such a break wrap as one word.
bool BreaksBefore(const std::string& S)
{
    if (S.empty())
        return false;
    const char32_t First = CharacterAt(S, 0);
    return First == ' ' || (IsIdeographic(First) && !ClosesLine(First));
}

// A line may break after the last character of S.
bool BreaksAfter(const std::string& S)
{
    if (S.empty())
        return false;
    const char32_t Last = CharacterAt(S, LastCharacter(S));
    return Last == ' ' || (IsIdeographic(Last) && !OpensLine(Last));
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
    std::size_t End = Start;
    while (End < Text.size()) {
        if (Text[End] == ' ') {
            ++End;
            break;
        }
        const std::size_t Next = End + CharacterLength(Text, End);
        if (Next < Text.size() && Text[Next] != ' ' && BreaksBetween(CharacterAt(Text, End), CharacterAt(Text, Next))) {
            End = Next;
            break;
        }
        End = Next;
    }
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
    if (BreaksBefore(Node->Text))
        EmptyBuffer();
    Buffer.AddString(Node, Styles, Color);
    if (BreaksAfter(Node->Text))
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
        if (!Prev || !Next || BreaksAfter(Prev->Node->Text) || BreaksBefore(Next->Node->Text))
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
