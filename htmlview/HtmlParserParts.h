// What the document builder's files share (HtmlParser*.cpp): tag groups, attribute text and the
// guard that counts how deep blocks and tables nest. Not for use outside the builder.
#pragma once

#include <string>

#include "htmlview/HtmlScanner.h"

namespace htmlparser {

// Tags that switch a font style on or off, and the tags of the fixed-pitch font.
inline const SymSet kStyleTags =
    MakeSymSet({SymB, SymBEnd, SymI, SymIEnd, SymEM, SymEMEnd, SymSTRONG, SymSTRONGEnd, SymU, SymUEnd,
                SymCITE, SymCITEEnd, SymVAR, SymVAREnd, SymS, SymSEnd, SymSTRIKE, SymSTRIKEEnd});
inline const SymSet kFixedTags = MakeSymSet({SymTT, SymCODE, SymKBD, SymSAMP});
// Tags that open a list (a BLOCKQUOTE is read as one).
inline const SymSet kListStarts = MakeSymSet({SymOL, SymUL, SymDIR, SymMENU, SymDL, SymBLOCKQUOTE});

// The most fonts open at once (the font stack's room).
inline constexpr int kMaxFonts = 25;

inline std::string AttrText(const TAttributeList& a, int sym) {
    const TAttribute* p = a.Find(sym);
    return p ? p->Name : std::string();
}

struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
};

} // namespace htmlparser
