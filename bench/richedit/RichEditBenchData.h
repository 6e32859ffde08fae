// Sample documents for the rich-edit benchmark: a formatted RTF text of about
// 1 MB and a plain text of 5,000 lines.
#pragma once

#include <string>

inline std::string MakeFormattedRtf(std::size_t TargetBytes) {
    std::string R =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
        "{\\colortbl;\\red0\\green0\\blue0;\\red192\\green0\\blue0;\\red0\\green0\\blue192;}\r\n";
    int N = 0;
    while (R.size() < TargetBytes) {
        const std::string Num = std::to_string(N);
        switch (N % 4) {
        case 0:
            R += "\\pard\\fs20 Plain paragraph " + Num + " with {\\b bold} and {\\i italic} words.\\par\r\n";
            break;
        case 1:
            R += "\\pard\\fi-200\\li400{\\pntext\\f0\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf0\\pnindent200{"
                 "\\pntxtb\\'B7}}"
                 "\\fs24\\cf2 Bulleted item " +
                 Num + " in red at twelve points.\\par\r\n";
            break;
        case 2:
            R += "\\pard\\li720\\ri360\\cf3\\ul Indented underlined " + Num + "\\ulnone  and {\\f1 fixed " +
                 Num + "}.\\par\r\n";
            break;
        default:
            R += "\\pard\\qc\\fs28\\strike Centred struck " + Num + "\\strike0\\cf1 .\\par\r\n";
            break;
        }
        ++N;
    }
    R += "}\r\n";
    return R;
}

inline std::string MakePlainLines(int Lines) {
    std::string T;
    T.reserve(static_cast<std::size_t>(Lines) * 48);
    for (int I = 0; I < Lines; ++I)
        T += "Line " + std::to_string(I) + " of the plain text benchmark sample.\r\n";
    return T;
}
