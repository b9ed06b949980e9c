#ifndef CORVANE_FILEKIND_H
#define CORVANE_FILEKIND_H

#include <QStringView>

namespace Corvane {

// What a file of a project is, by its suffix in any letter case: what uVision and the packs'
// descriptions take for sources and headers.
enum class FileKind {
    Other,
    C,         // .c
    Cpp,       // .cpp .cc .cxx .c++
    Assembler, // .s .asm .a51
    Header,    // .h .hh .hpp .hxx .h++
};

FileKind fileKind(QStringView path);

inline bool isSourceKind(FileKind kind)
{
    return kind == FileKind::C || kind == FileKind::Cpp || kind == FileKind::Assembler;
}

// uVision's FileType for a file of the project: 1 C, 2 assembler, 8 C++; 5 is text, 3 an
// object, 4 a library. 0 when the project gives none.
enum UvFileType { UvC = 1, UvAssembler = 2, UvObject = 3, UvLibrary = 4, UvText = 5, UvCpp = 8 };

} // namespace Corvane

#endif
