// assetgen SOURCE_DIR OUTPUT_DIR
//
// Makes the game's whole data set from the readable sources in SOURCE_DIR
// (the repository's assets/) into the program directory OUTPUT_DIR:
// pictures, sounds, tunes, fonts, levels and a contact sheet for review.
// The same sources always give the same bytes: nothing here reads a clock,
// draws unseeded random numbers or depends on directory order.
#include <iostream>

#include "context.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: assetgen SOURCE_DIR OUTPUT_DIR\n";
        return 2;
    }
    try {
        assetgen::Context cx(argv[1], argv[2]);
        assetgen::MakeActors(cx);
        assetgen::MakeScreens(cx);
        assetgen::MakeLevels(cx);
        for (const assetgen::Picture& p : cx.Pictures())
            assetgen::WriteBytes(cx.Output() / assetgen::CataloguePath(p.file),
                                 assetgen::EncodeBmp(p.canvas, p.overBlack));
        assetgen::MakeSounds(cx);
        assetgen::MakeTunes(cx);
        assetgen::CopyFonts(cx);
        assetgen::CheckCatalogue(cx);
        assetgen::MakeContactSheet(cx);
        assetgen::MakeIcon(cx);
    } catch (const std::exception& e) {
        std::cerr << "assetgen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
