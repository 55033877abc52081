// Small tools shared by the markup parser, the node tree and the layout: string helpers,
// an inclusive point-in-rectangle test and owning lists of records.
#pragma once

#include "linklabel/Graphics.h"
#include "platform/Exceptions.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace qe {

class EGenericToolsError : public Exception {
public:
    using Exception::Exception;
};

// Base of classes that only offer class-level operations; making one always fails.
class TStaticObject {
public:
    TStaticObject();
};

class TStringTools : public TStaticObject {
public:
    // Case-sensitive prefix and suffix tests.
    static bool StartsWithText(const std::string& S, const std::string& Prefix);
    static bool EndsWithText(const std::string& S, const std::string& Suffix);
    // S with every occurrence of Pattern removed, compared without regard to letter case.
    static std::string DeletePattern(const std::string& S, const std::string& Pattern);
    // S without its CR LF pairs; lone CRs and LFs stay.
    static std::string StripLineBreaks(const std::string& S);
    // Replaces every occurrence of Find in S (case-sensitive, searching again from the start
    // after each replacement). True when at least one replacement was made.
    static bool SubstituteAll(const std::string& Find, const std::string& Replacement, std::string& S);
};

class TGraphicTools : public TStaticObject {
public:
    // True when P lies in Rect, all four edges included.
    static bool RectContainsPoint(const TRect& Rect, const TPoint& P);
};

// A list that owns the records it holds.
template <class T> class TOwnerPointerList {
public:
    TOwnerPointerList() = default;
    TOwnerPointerList(const TOwnerPointerList&) = delete;
    TOwnerPointerList& operator=(const TOwnerPointerList&) = delete;
    virtual ~TOwnerPointerList() = default;

    std::size_t Count() const { return Blocks.size(); }
    virtual void Clear() { Blocks.clear(); }

protected:
    std::vector<std::unique_ptr<T>> Blocks;
};

class TRectList : public TOwnerPointerList<TRect> {
public:
    void Add(const TRect& Rect) { Blocks.push_back(std::make_unique<TRect>(Rect)); }
    const TRect& Items(std::size_t Index) const { return *Blocks.at(Index); }
};

} // namespace qe
