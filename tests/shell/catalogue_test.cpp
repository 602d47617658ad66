#include "support/bmp.h"
#include "support/game_fixture.h"

namespace {

using testing_support::GameFixture;
using testing_support::WriteBmp;

class CatalogueTest : public GameFixture {
protected:
    void SetUp() override {
        GameFixture::SetUp();
        WriteBmp((dir_ / "Data/Images/Strip.bmp").string(), 96, 32);
        WriteBmp((dir_ / "Data/Images/Other.bmp").string(), 64, 64);
    }
};

TEST_F(CatalogueTest, FirstEntryOfANameWinsAndPatternsCutThePicture) {
    WriteFile("Munchora.ini",
              "[Scene3]\nDot=Data\\Images\\Strip.bmp,32,32\ndot=Data\\Images\\Other.bmp,64,64\n"
              "Whole=Data\\Images\\Strip.bmp,96,32\nTall=Data\\Images\\Other.bmp,0,16\n");
    Probe().LoadImages(3);
    const media::ImageEntry& dot = Probe().Images().Find("DOT");
    EXPECT_EQ(dot.PictureWidth(), 96);
    EXPECT_EQ(dot.PatternCount(), 3);
    // A pattern as wide as the picture, or 0, means one pattern that way.
    EXPECT_EQ(Probe().Images().Find("Whole").PatternCount(), 1);
    EXPECT_EQ(Probe().Images().Find("Tall").PatternCount(), 4);
    EXPECT_EQ(Probe().Images().Count(), 3);
    EXPECT_FALSE(form_->Closing());
    EXPECT_EQ(media_->Caption(), "Munchora");
}

TEST_F(CatalogueTest, AnEntryWithoutNumbersFailsWithItsWholeText) {
    WriteFile("Munchora.ini", "[Scene1]\nIntro=Data\\Images\\Other.bmp\nDot=Data\\Images\\Strip.bmp,32,32\n");
    Probe().LoadImages(1);
    EXPECT_NE(Events().find("message Munchora|Can't load image Intro=Data\\Images\\Other.bmp\n"),
              std::string::npos);
    EXPECT_TRUE(form_->Closing());
    // The entries after the failing one are still loaded.
    EXPECT_EQ(Probe().Images().IndexOf("Dot"), 0);
}

TEST_F(CatalogueTest, AMissingPictureFileFails) {
    WriteFile("Munchora.ini", "[Scene1]\nIntro=Data\\Images\\Nope.bmp,1,1\n");
    Probe().LoadImages(1);
    EXPECT_NE(Events().find("Can't load image Intro=Data\\Images\\Nope.bmp,1,1"), std::string::npos);
    EXPECT_TRUE(form_->Closing());
}

TEST_F(CatalogueTest, SoundsLoadOnceAndABrokenOneStopsTheLoading) {
    WriteFile("Data/Sounds/Broken.wav", "not a wave");
    WriteFile("Munchora.ini",
              "[Sounds]\nBroken=Data\\Sounds\\Broken.wav,ignored\nLater=Data\\Sounds\\Later.wav\n");
    Probe().LoadSounds();
    EXPECT_NE(Events().find("Can't load sound Broken=Data\\Sounds\\Broken.wav,ignored"), std::string::npos);
    EXPECT_EQ(Probe().Sounds().Count(), 0);
    EXPECT_TRUE(form_->Closing());
}

TEST_F(CatalogueTest, MissingNamesRaiseTheirErrors) {
    EXPECT_THROW(Probe().Images().Find("Nothing"), formats::GameError);
    EXPECT_THROW(form_->PlaySound("Nothing"), formats::GameError);
    try {
        Probe().Images().Find("Nothing");
    } catch (const formats::GameError& error) {
        EXPECT_STREQ(error.what(), "Image 'Nothing' not found");
    }
}

TEST_F(CatalogueTest, ChangingScreensEmptiesTheCatalogueButReenteringKeepsIt) {
    WriteFile("Munchora.ini", "[Scene7]\nGameOver=Data\\Images\\Other.bmp,64,64\n[Sounds]\n");
    AddImage("Leftover");
    game::State.StartOptions.NoSound = true;  // the screen's sound is not in this catalogue
    form_->SetScreenState(shell::scGameOver);
    EXPECT_EQ(Probe().Images().IndexOf("Leftover"), -1);
    EXPECT_EQ(Probe().Images().IndexOf("GameOver"), 0);
    AddImage("Kept");
    form_->SetScreenState(shell::scGameOver);
    EXPECT_GE(Probe().Images().IndexOf("Kept"), 0);
}

}  // namespace
