// Lays out and draws the pieces of text of one drawing run: buffers pieces that touch
// without a space so that they wrap as one word, measures words once per font, wraps lines
// at the right edge and records in every string node the rectangle of each line it drew.
#pragma once

#include "linklabel/Canvas.h"
#include "linklabel/LinkTools.h"
#include "linklabel/Tree.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qe {

class ETextHandlerError : public Exception {
public:
    using Exception::Exception;
};

class TParentTextElement {
public:
    virtual ~TParentTextElement() = default;
};

class TStringElement : public TParentTextElement {
public:
    TStringElement(TStringNode* ANode, TFontStyles AStyles, TColor AColor) : Node(ANode), Styles(AStyles), Color(AColor)
    {
    }
    TStringNode* Node;
    TFontStyles Styles;
    TColor Color;
};

class TActionElement : public TParentTextElement {
public:
    explicit TActionElement(TBreakKind Kind) : BreakKind(Kind) {}
    TBreakKind BreakKind;
};

// The pieces and breaks not yet drawn; the list owns them.
class TTextElementList {
public:
    void AddString(TStringNode* Node, TFontStyles Styles, TColor Color);
    void AddLineBreak();
    void AddParagraphBreak();
    // For elements of other kinds than the ones above.
    void Add(std::unique_ptr<TParentTextElement> Element) { FItems.push_back(std::move(Element)); }
    TParentTextElement* Items(std::size_t Index) const { return FItems.at(Index).get(); }
    std::size_t Count() const { return FItems.size(); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TParentTextElement>> FItems;
};

// Told where an area of the text starts once the piece that reveals it has been laid out.
class IStartingPosObserver {
public:
    virtual ~IStartingPosObserver() = default;
    virtual void StartingPosKnown(int32_t X, int32_t Y, TAreaNode* Node) = 0;
};
using IStartingPosObserverRef = std::shared_ptr<IStartingPosObserver>;

struct TNodeObserver {
    IStartingPosObserverRef Observer;
    TAreaNode* AreaNode = nullptr;
    TStringNode* StringNode = nullptr;
};

class TNodeObserverList : public TOwnerPointerList<TNodeObserver> {
public:
    void AddObserver(IStartingPosObserverRef Observer, TAreaNode* AreaNode, TStringNode* StringNode);
    TNodeObserver& Items(std::size_t Index) const { return *Blocks.at(Index); }
    // The index of the first record waiting for Node, or -1.
    int32_t IndexOfStringNode(const TStringNode* Node) const;
    void RemoveObserver(const TNodeObserver* Record);
};

class IWordIterator {
public:
    virtual ~IWordIterator() = default;
    virtual void AssignText(const std::string& S) = 0;
    virtual std::string GetSourceText() const = 0;
    virtual int32_t GetTaken() const = 0;
    virtual std::string PopWord() = 0;
    virtual std::string PeekWord() = 0;
    virtual bool HasNext() const = 0;
    virtual void Reset() = 0;
};
using IWordIteratorRef = std::shared_ptr<IWordIterator>;

// Splits UTF-8 text into the words a line may break between: at spaces, where each word
// keeps the space that ends it and every further space of a run is a word of its own; and
// around each character of the scripts written without spaces (Chinese, Japanese, Korean),
// except before a mark that may not begin a line ("。", "」", "ー") or after one that may
// not end it ("「"). A word never ends inside a character.
class TWordEnumerator : public IWordIterator {
public:
    explicit TWordEnumerator(std::string AText) : Text(std::move(AText)) {}
    void AssignText(const std::string& S) override
    {
        Text = S;
        Taken = 0;
    }
    std::string GetSourceText() const override { return Text; }
    int32_t GetTaken() const override { return Taken; }
    std::string PopWord() override { return GetNext(true); }
    std::string PeekWord() override { return GetNext(false); }
    bool HasNext() const override { return static_cast<int64_t>(Text.size()) >= Position; }
    void Reset() override
    {
        Position = 1;
        Taken = 0;
    }

private:
    std::string GetNext(bool Advance);

    int64_t Position = 1;
    std::string Text;
    int32_t Taken = 0;
};

class ITextHandler {
public:
    virtual ~ITextHandler() = default;
    virtual int32_t GetWriteX() const = 0;
    virtual int32_t GetWriteY() const = 0;
    virtual int32_t GetRowHeight() const = 0;
    virtual TCanvas& GetTargetCanvas() const = 0;
    virtual void QueueString(TStringNode* Node, TFontStyles Styles, TColor Color) = 0;
    virtual void BreakParagraph() = 0;
    virtual void BreakLine() = 0;
    virtual void EmptyBuffer() = 0;
    virtual int32_t GetTextBottom() const = 0;
    virtual bool IsBufferEmpty() const = 0;
    virtual void WatchStartingPos(IStartingPosObserverRef Observer, TAreaNode* Node) = 0;
};
using ITextHandlerRef = std::shared_ptr<ITextHandler>;

class TTextHandler : public ITextHandler {
public:
    // Lays out text in Rect (its bottom is not used) starting at (X, Y).
    TTextHandler(const TRect& Rect, int32_t X, int32_t Y, TCanvas& Canvas);

    int32_t GetWriteX() const override { return WriteX; }
    int32_t GetWriteY() const override { return WriteY; }
    int32_t GetRowHeight() const override { return RowHeight; }
    TCanvas& GetTargetCanvas() const override { return TargetCanvas; }
    void QueueString(TStringNode* Node, TFontStyles Styles, TColor Color) override;
    void BreakParagraph() override;
    void BreakLine() override;
    void EmptyBuffer() override;
    int32_t GetTextBottom() const override { return WriteY + RowHeight; }
    bool IsBufferEmpty() const override { return Buffer.Count() == 0; }
    void WatchStartingPos(IStartingPosObserverRef Observer, TAreaNode* Node) override;

    // For tests of the layout: the elements not yet drawn.
    TTextElementList& GetBuffer() { return Buffer; }

private:
    void LayOutString(std::size_t Index, TStringElement& E);
    void MeasureWord(std::size_t Index, const TStringElement& E, const std::string& Word, int32_t K, bool LastWord,
                     int32_t& W, TWordInfo& Info);

    int32_t WriteX;
    int32_t WriteY;
    TTextElementList Buffer;
    TRect BoundsRect;
    TCanvas& TargetCanvas;
    int32_t RowHeight;
    TNodeObserverList Observers;
};

} // namespace qe
