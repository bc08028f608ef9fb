// The EXIF block a saved picture gets: read back tag by tag with the tests' own reader.
#include <gtest/gtest.h>

#include "files/Metadata.h"
#include "support/CameraFiles.h"

using samples::Bytes;

TEST(ExifForSave, SetsSizeAndOrientationInPlaceWidensShortSizesAndCutsTheTrailingThumbnail) {
    for (const bool motorola : {false, true}) {
        const Bytes camera = samples::MakeCameraExif(8, 4000, 3000, motorola);
        const Bytes saved = ExifForSave(camera, 70000, 20);
        samples::ExifTags tags = samples::ReadExifTags(saved);
        EXPECT_EQ(tags["0"][0x0112], "1");
        EXPECT_EQ(tags["exif"][0xA002], "70000");  // too wide for a SHORT: now a LONG
        EXPECT_EQ(tags["exif"][0xA003], "20");
        EXPECT_EQ(tags["0"][0x0110], samples::kCameraModel);
        EXPECT_EQ(tags.count("1"), 0u);
        // Everything before the thumbnail directory is byte for byte where it was.
        ASSERT_LT(saved.size(), camera.size());
        EXPECT_EQ(ExifOrientation(saved.data(), saved.size()), 1);
        EXPECT_EQ(ExifOrientation(camera.data(), camera.size()), 8);
    }
}

TEST(ExifForSave, BlanksAThumbnailThatIsNotAtTheEndAndRefusesWhatItCannotRead) {
    Bytes camera = samples::MakeCameraExif(1, 10, 10, false);
    // Something the camera directory points to now lies after the thumbnail.
    const std::size_t size = camera.size();
    camera.resize(size + 16, 0x55);
    const samples::ExifTags before = samples::ReadExifTags(camera);
    const std::size_t thumbnailAt = std::stoul(before.at("1").at(0x0201));
    // The exposure time's rational moves to the end.
    const std::size_t entry = std::stoul(before.at("0").at(0x8769)) + 2;  // the camera directory's first
    ASSERT_EQ(camera[entry], 0x9A);
    camera[entry + 8] = static_cast<std::uint8_t>(size);
    camera[entry + 9] = static_cast<std::uint8_t>(size >> 8);
    const Bytes saved = ExifForSave(camera, 10, 10);
    ASSERT_EQ(saved.size(), camera.size());
    EXPECT_EQ(saved[thumbnailAt], 0);  // the JPEG's start marker is gone
    EXPECT_EQ(saved[thumbnailAt + 1], 0);
    EXPECT_EQ(saved.back(), 0x55);

    for (const Bytes& broken : {Bytes{}, Bytes{'I', 'I', 42, 0}, Bytes{'I', 'I', 42, 0, 200, 0, 0, 0, 1, 0},
                                Bytes{'X', 'X', 42, 0, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0}}) {
        EXPECT_TRUE(ExifForSave(broken, 1, 1).empty());
    }
}

TEST(ExifForSave, OnlyWholeRgbProfilesAreWritten) {
    Bytes profile = samples::MakeRgbProfile();
    EXPECT_TRUE(ProfileFitsRgb(profile));
    Bytes grey = profile;
    std::copy_n("GRAY", 4, grey.begin() + 16);
    EXPECT_FALSE(ProfileFitsRgb(grey));
    profile.pop_back();
    EXPECT_FALSE(ProfileFitsRgb(profile));
}
