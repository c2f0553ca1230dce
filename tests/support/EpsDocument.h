#pragma once

// The fixed lines of the EPS canvas's documents, as EPS readers take them:
// after the first two comment lines, the setup up to the fixed codes of the
// encoding, and after the encoded characters the prologue that puts the
// encoding together and defines the procedures. Every line ends "\r\n".

inline constexpr const char* kEpsSetup =
    "%%LanguageLevel: 2\r\n"
    "%%DocumentNeededResources: font ArialMT Arial-BoldMT\r\n%%DocumentProcessColors: (atend)\r\n"
    "%%EndComments\r\n%%BeginSetup\r\n%%IncludeResource: font ArialMT\r\n"
    "%%IncludeResource: font Arial-BoldMT\r\n%%EndSetup\r\ngsave\r\n"
    "0 setlinecap 0 setlinejoin 2 setmiterlimit\r\n25 dict begin\r\n"
    "/myEncoding ISOLatin1Encoding 256 array copy def 0\r\n[\r\n  39 /quotesingle\r\n  45 /hyphen\r\n"
    "  96 /grave\r\n";

inline constexpr const char* kEpsProlog =
    "]\r\n{ dup type /nametype eq\r\n  { myEncoding 2 index 2 index put pop 1 add }\r\n"
    "  { exch pop } ifelse\r\n} forall pop\r\n/deffont { findfont dup length dict begin\r\n"
    "  {1 index /FID ne {def} {pop pop} ifelse} forall\r\n"
    "  /Encoding myEncoding def currentdict end definefont pop} bind def\r\n"
    "/Arial-MyEncoding /ArialMT deffont\r\n/Arial-Bold-MyEncoding /Arial-BoldMT deffont\r\n"
    "/c { curveto } bind def\r\n/cp { closepath } bind def\r\n/f { eofill } bind def\r\n"
    "/gc { gsave concat } bind def\r\n/gr { grestore } bind def\r\n/g { 255 div setgray } bind def\r\n"
    "/hatchdict <<\r\n  /PatternType 1\r\n  /PaintType 1\r\n  /TilingType 1\r\n  /hatchCellSize 240\r\n"
    "  /BBox [0 0 240 240]\r\n  /XStep 240\r\n  /YStep 240\r\n  /sc { }\r\n"
    "  /PaintProc { begin 1 setgray 0 0 hatchCellSize hatchCellSize rectfill\r\n"
    "    sc hatchCellSize 12 div setlinewidth\r\n    newpath 0 0 moveto hatchCellSize hatchCellSize lineto\r\n"
    "    0 hatchCellSize moveto hatchCellSize 0 lineto stroke end }\r\n>> def\r\n"
    "/h { /Pattern setcolorspace\r\n  hatchdict begin\r\n  12 mul /hatchCellSize exch def\r\n"
    "  /BBox [ 0 0 hatchCellSize hatchCellSize ] def\r\n  /XStep hatchCellSize def\r\n"
    "  /YStep hatchCellSize def\r\n  /sc exch bind def\r\n"
    "  end hatchdict matrix makepattern setcolor } bind def\r\n/l { lineto } bind def\r\n"
    "/m { moveto } bind def\r\n/p { setlinewidth } bind def\r\n"
    "/rgb { 3 -1 roll 255 div 3 -1 roll 255 div 3 -1 roll 255 div setrgbcolor } bind def\r\n"
    "/s { stroke } bind def\r\n/sf { /Arial-MyEncoding exch selectfont } bind def\r\n"
    "/sfb { /Arial-Bold-MyEncoding exch selectfont } bind def\r\n/sfr { gsave fill grestore } bind def\r\n"
    "/tt { matrix currentmatrix 3 1 roll translate } bind def\r\n"
    "/tb { 2 copy 0 0 4 2 roll rectfill } bind def \r\n"
    "/tm { exch 434 mul 2288 div 0 exch moveto } bind def\r\n"
    "/tas { dup stringwidth pop 3 -1 roll exch sub exch dup length 1 sub 3 -1 roll exch div\r\n"
    "  0 3 -1 roll ashow setmatrix } bind def\r\n/ts { show pop setmatrix} bind def\r\n";
