#include "linklabel/Parser.h"

#include <cctype>
#include <iterator>

namespace qe {

// --- TElementEnumerator

TElement TElementEnumerator::GetNextElement(bool Advance)
{
    if (AtEnd())
        throw EParserError("TElementEnumerator.GetNextElement: No more elements to return");
    if (Position != CachedPosition) {
        CachedPosition = Position;
        const std::size_t At = static_cast<std::size_t>(Position - 1); // 0-based
        TElement E;
        if (Text.compare(At, 2, "</") == 0)
            E.Kind = ekEndTag;
        else if (Text[At] == '<')
            E.Kind = ekBeginTag;
        else
            E.Kind = ekString;

        if (E.Kind == ekString) {
            std::size_t End = Text.find('<', At);
            if (End == std::string::npos)
                End = Text.size();
            E.Text = Text.substr(At, End - At);
            NextPosition = static_cast<int64_t>(End) + 1;
        } else {
            // The tag name runs to the next ">". Without one, the "<" and all that follows
            // are one begin tag that is not closed, whatever its text.
            const std::size_t Start = At + (E.Kind == ekEndTag ? 2 : 1);
            const std::size_t Close = Start < Text.size() ? Text.find('>', Start) : std::string::npos;
            if (Close == std::string::npos) {
                E.Kind = ekBeginTag;
                E.Text = Text.substr(At + 1);
                E.Closed = false;
                NextPosition = static_cast<int64_t>(Text.size()) + 1;
            } else {
                E.Text = Text.substr(Start, Close - Start);
                NextPosition = static_cast<int64_t>(Close) + 2;
            }
        }
        CachedElement = std::move(E);
    }
    if (Advance)
        Position = NextPosition;
    return CachedElement;
}

// --- TDefaultParser

namespace {

struct TTagEntry {
    const char* Tag;
    int Index;
};

// Tag names as compared (upper case) and their index.
const TTagEntry Tags[] = {{"B", 0}, {"I", 1}, {"U", 2}, {"LINK", 3}, {"BR", 4}, {"P", 5}, {"DYNAMIC", 6}};
constexpr int LastLevelTag = 3; // tags 0 to 3 open a level of their own

std::string UpperCase(const std::string& S)
{
    std::string R = S;
    for (char& C : R)
        C = static_cast<char>(std::toupper(static_cast<unsigned char>(C)));
    return R;
}

bool OpensLevel(const std::string& TagText)
{
    const std::string Upper = UpperCase(TagText);
    for (const TTagEntry& T : Tags)
        if (Upper == T.Tag)
            return T.Index <= LastLevelTag;
    return false;
}

} // namespace

std::unique_ptr<TNodeTree> TDefaultParser::ParseText(const std::string& Text)
{
    auto Tree = std::make_unique<TNodeTree>();
    // Keeps an outer parse's enumerator when a dynamic handler parses with this parser again.
    struct TParseScope {
        IElementEnumeratorRef& Field;
        IElementEnumeratorRef Saved;
        int32_t& Depth;
        int32_t SavedDepth;
        ~TParseScope()
        {
            Field = std::move(Saved);
            Depth = SavedDepth;
        }
    } Scope{Elements, std::move(Elements), ParseDepth, ParseDepth};
    Elements = std::make_shared<TElementEnumerator>(TStringTools::StripLineBreaks(Text));
    ParseNode(*Tree->Root, RootDepth);
    return Tree;
}

std::unique_ptr<TNodeTree> TDefaultParser::ParseStrings(const std::vector<std::string>& Lines)
{
    std::string Joined;
    for (const std::string& Line : Lines)
        Joined += Line + "\r\n";
    return ParseText(Joined);
}

void TDefaultParser::GraftSource(TParentNode& Node, const std::string& Source)
{
    TDefaultParser Separate;
    // A node filled while this parser reads its parent's level is not attached yet.
    if (!Node.Parent && Elements) {
        Separate.RootDepth = ParseDepth + 1;
    } else {
        for (const TNode* N = &Node; N->Parent; N = N->Parent)
            ++Separate.RootDepth;
    }
    std::unique_ptr<TNodeTree> Temporary = Separate.ParseText(Source);
    TNodeList& From = Temporary->Root->Children;
    while (From.Count() > 0)
        Node.AddChild(From.Extract(0));
}

void TDefaultParser::ParseNode(TParentNode& Parent, int32_t Depth)
{
    // Any end tag closes the innermost open level, whatever its name. Levels too deep to open
    // are counted instead, so that their end tags close them and not a real level.
    int32_t Flattened = 0;
    TElement E;
    while (!Elements->AtEnd()) {
        Elements->PeekElement(E);
        if (E.Kind == ekEndTag) {
            if (Flattened == 0)
                break;
            Elements->PopElement(E);
            --Flattened;
            continue;
        }
        Elements->PopElement(E);
        const bool AtDeepest = Depth >= MaxNestingDepth;
        std::unique_ptr<TNode> Node;
        if (E.Kind == ekBeginTag && (!E.Closed || (AtDeepest && OpensLevel(E.Text)))) {
            Node = std::make_unique<TUnknownNode>(E.Text);
            Flattened += E.Closed ? 1 : 0;
        } else if (E.Kind == ekBeginTag) {
            ParseDepth = Depth;
            Node = CreateNodeForTag(E.Text);
        } else if (E.Kind == ekString) {
            Node = std::make_unique<TStringNode>(E.Text);
        } else {
            throw EParserError("TDefaultParser.ParseNode: Unsupported state");
        }
        TNode* Added = Parent.AddChild(std::move(Node));
        if (E.Kind == ekBeginTag)
            if (auto* AsParent = dynamic_cast<TParentNode*>(Added); AsParent && !dynamic_cast<TDynamicNode*>(Added)) {
                if (AtDeepest)
                    ++Flattened; // a level of a subclass's own tag stays empty here
                else
                    ParseNode(*AsParent, Depth + 1);
            }
    }
    if (!Elements->AtEnd())
        Elements->PopElement(E);
}

std::unique_ptr<TNode> TDefaultParser::CreateNodeForTag(const std::string& TagText)
{
    const std::string Upper = UpperCase(TagText);
    for (const TTagEntry& T : Tags) {
        if (Upper != T.Tag)
            continue;
        switch (T.Index) {
        case 0: return std::make_unique<TStyleNode>(TFontStyle::fsBold);
        case 1: return std::make_unique<TStyleNode>(TFontStyle::fsItalic);
        case 2: return std::make_unique<TStyleNode>(TFontStyle::fsUnderline);
        case 3: return std::make_unique<TLinkNode>();
        case 4: return std::make_unique<TActionNode>(bkLine);
        case 5: return std::make_unique<TActionNode>(bkParagraph);
        default: {
            auto Dynamic = std::make_unique<TDynamicNode>();
            FillDynamicNode(*Dynamic);
            return Dynamic;
        }
        }
    }
    return std::make_unique<TUnknownNode>(TagText);
}

void TDefaultParser::FillDynamicNode(TDynamicNode& Node)
{
    if (!DynamicHandler)
        return;
    std::string Source;
    DynamicHandler->ProvideSource(Source, &Node);
    if (!Source.empty())
        GraftSource(Node, Source);
}

} // namespace qe
