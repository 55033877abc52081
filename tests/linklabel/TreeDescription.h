// A compact text form of a node tree for structural checks, for example
// "'a' b['b'] 'c'" for a<b>b</b>c.
#pragma once

#include "linklabel/Tree.h"

#include <string>

namespace qe::test {

inline std::string Describe(const TParentNode& Node)
{
    std::string R;
    for (std::size_t i = 0; i < Node.Children.Count(); ++i) {
        const TNode* C = Node.Children.Items(i);
        if (!R.empty())
            R += ' ';
        if (auto* S = dynamic_cast<const TStringNode*>(C)) {
            R += "'" + S->Text + "'";
        } else if (auto* A = dynamic_cast<const TActionNode*>(C)) {
            R += A->BreakKind == bkLine ? "<br>" : "<p>";
        } else if (auto* U = dynamic_cast<const TUnknownNode*>(C)) {
            R += "?" + U->Tag;
        } else if (auto* St = dynamic_cast<const TStyleNode*>(C)) {
            const char* Names[] = {"b", "i", "u", "s"};
            R += std::string(Names[static_cast<int>(St->Style)]) + "[" + Describe(*St) + "]";
        } else if (auto* L = dynamic_cast<const TLinkNode*>(C)) {
            R += "link" + std::to_string(L->Number) + "[" + Describe(*L) + "]";
        } else if (auto* D = dynamic_cast<const TDynamicNode*>(C)) {
            R += "dyn" + std::to_string(D->Number) + "[" + Describe(*D) + "]";
        } else {
            R += "(node)";
        }
    }
    return R;
}

} // namespace qe::test
