#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "filters/Operations.h"
#include "filters/TextureList.h"
#include "support/FreshState.h"

namespace {

// A slot as the dialog table writes it: "label: initial, page, minimum ... maximum".
std::string SlotText(const OperationValue* slot, const BoundInputs& inputs = {}) {
    if (!slot) return "absent";
    return std::string(slot->label) + ": " + std::to_string(BoundValue(slot->initial, inputs)) + ", " +
           std::to_string(slot->page) + ", " + std::to_string(BoundValue(slot->minimum, inputs)) + " ... " +
           std::to_string(BoundValue(slot->maximum, inputs));
}

// A list as "label: items, initial entry (first ... last)".
std::string ListText(const OperationValue* list, const BoundInputs& inputs = {}) {
    if (!list) return "absent";
    return std::string(list->label) + ": " + ListItemsText(*list) + ", " +
           std::to_string(BoundValue(list->initial, inputs)) + " (" + std::to_string(BoundValue(list->minimum, inputs)) +
           " ... " + std::to_string(BoundValue(list->maximum, inputs)) + ")";
}

const Operation& Op(int command) {
    const Operation* op = OperationByCommand(command);
    EXPECT_NE(op, nullptr) << command;
    static const Operation none;
    return op ? *op : none;
}

constexpr const char* kChannels = "All Channels|Red|Green|Blue|Yellow|Cyan|Magenta";

}  // namespace

TEST(OperationTable, DialogsAskForTheirSlotsAndLists) {
    const Operation& gamma = Op(CMD_GAMMA);
    EXPECT_EQ(gamma.filterId, FILTER_GAMMA);
    EXPECT_EQ(gamma.dialog, OperationDialog::Values);
    EXPECT_STREQ(gamma.title, "Gamma Correction");
    EXPECT_STREQ(gamma.menuLabel, "Gamma Correction...");
    EXPECT_EQ(SlotText(SlotOf(gamma, 0)), "Gamma: 100, 10, 10 ... 500");
    EXPECT_EQ(SlotText(SlotOf(gamma, 1)), "absent");
    EXPECT_EQ(ListText(ListOf(gamma)), std::string("Channels: ") + kChannels + ", 0 (0 ... 6)");

    const Operation& rgb = Op(CMD_ADJUST_RGB);
    EXPECT_STREQ(rgb.title, "Adjust Colors");
    EXPECT_EQ(SlotText(SlotOf(rgb, 1)), "Green: 0, 10, -255 ... 255");
    EXPECT_EQ(SlotText(SlotOf(rgb, 2)), "Blue: 0, 10, -255 ... 255");
    EXPECT_EQ(ListOf(rgb), nullptr);

    const Operation& swirl = Op(CMD_SWIRL);
    EXPECT_EQ(swirl.filterId, FILTER_SWIRL);
    EXPECT_STREQ(swirl.title, "Swirl Angle");
    EXPECT_EQ(SlotText(SlotOf(swirl, 0)), "Rotations: 0, 1, -8 ... 8");
    EXPECT_EQ(SlotText(SlotOf(swirl, 1)), "Degrees: 0, 10, -359 ... 359");
    EXPECT_EQ(SlotText(SlotOf(swirl, 2)), "absent");

    const Operation& unsharp = Op(CMD_UNSHARP_MASK);
    EXPECT_EQ(SlotText(SlotOf(unsharp, 0)), "Amount: 0, 10, 0 ... 999");
    EXPECT_EQ(SlotText(SlotOf(unsharp, 1)), "Radius: 1, 1, 1 ... 4");

    const Operation& mosaic = Op(CMD_MOSAIC);
    EXPECT_STREQ(mosaic.title, "Mosaic Cell Size");
    EXPECT_EQ(SlotText(SlotOf(mosaic, 0)), "Pixels: 2, 2, 2 ... 16");

    const Operation& waves = Op(CMD_WAVES);
    EXPECT_EQ(SlotText(SlotOf(waves, 2)), "Amplitude: 100, 10, 0 ... 100");

    // The emboss light starts on the gradient style; the offset reaches as far as the target.
    BoundInputs inputs;
    inputs.width = 50;
    inputs.height = 30;
    inputs.gradientStyle = 2;
    const Operation& emboss = Op(CMD_EMBOSS);
    EXPECT_EQ(SlotText(SlotOf(emboss, 0)), "Intensity: 100, 5, 0 ... 100");
    EXPECT_EQ(ListText(ListOf(emboss), inputs),
              "Light: Top Left|Top|Top Right|Left|Right|Bottom Left|Bottom|Bottom Right, 2 (0 ... 7)");
    const Operation& offset = Op(CMD_OFFSET);
    EXPECT_EQ(SlotText(SlotOf(offset, 0), inputs), "Horizontal: 0, 10, -50 ... 50");
    EXPECT_EQ(SlotText(SlotOf(offset, 1), inputs), "Vertical: 0, 10, -30 ... 30");

    // A dialog of a list alone, and the rotation that has a dialog but no preview.
    const Operation& separate = Op(CMD_SEPARATE_CHANNEL);
    EXPECT_EQ(SlotOf(separate, 0), nullptr);
    EXPECT_EQ(ListText(ListOf(separate)), "Channel: Red|Green|Blue, 0 (0 ... 2)");
    const Operation& threshold = Op(CMD_THRESHOLD);
    EXPECT_EQ(ListText(ListOf(threshold)),
              "Channels: RGB to Monochrome|RGB to Color|Red Channel|Green Channel|Blue Channel, 0 (0 ... 4)");
    const Operation& rotate = Op(CMD_ROTATE_ARBITRARY);
    EXPECT_EQ(rotate.filterId, FILTER_NONE);
    EXPECT_EQ(rotate.dialog, OperationDialog::Values);
    EXPECT_STREQ(rotate.title, "Rotate");
    EXPECT_EQ(SlotText(SlotOf(rotate, 0)), "Angle: 0, 10, -180 ... 180");
}

TEST(OperationTable, EveryFilterIdCommandAndNameOnce) {
    std::set<int> commands;
    std::set<std::string> names;
    int previewed = 0;
    for (const Operation& op : Operations()) {
        EXPECT_TRUE(commands.insert(op.command).second) << op.command;
        EXPECT_TRUE(names.insert(op.batchName).second) << op.batchName;
        EXPECT_NE(op.run, nullptr) << op.batchName;
        EXPECT_EQ(OperationByCommand(op.command), &op);
        EXPECT_EQ(OperationByBatchName(op.batchName), &op);
        // A value dialog has a title and at least one value; an operation without one has none.
        EXPECT_EQ(op.title != nullptr, op.dialog == OperationDialog::Values) << op.batchName;
        EXPECT_EQ(op.values.empty(), op.dialog == OperationDialog::None) << op.batchName;
        if (op.filterId != FILTER_NONE) {
            ++previewed;
            EXPECT_EQ(OperationByFilterId(op.filterId), &op);
            EXPECT_EQ(op.dialog, OperationDialog::Values);
        }
    }
    EXPECT_EQ(previewed, 17);
    for (int id = FILTER_MOSAIC; id <= FILTER_SEPARATE_CHANNEL; ++id) EXPECT_NE(OperationByFilterId(id), nullptr) << id;
    EXPECT_EQ(OperationByFilterId(FILTER_NONE), nullptr);
    EXPECT_EQ(OperationByFilterId(18), nullptr);
    EXPECT_EQ(OperationByCommand(CMD_IMAGE_INFO), nullptr);
    EXPECT_EQ(OperationByBatchName("Invert"), nullptr);
}

TEST(OperationTable, ValuesReachTheRunInSlotAndListOrder) {
    // The size values come as width, height, mode list, resample flag.
    const Operation& size = Op(CMD_IMAGE_SIZE);
    EXPECT_EQ(size.dialog, OperationDialog::ImageSize);
    FilterArguments a = ArgumentsOf(size, {150, 90, 1, 0});
    EXPECT_EQ(a.value1, 150);
    EXPECT_EQ(a.value2, 90);
    EXPECT_EQ(a.value3, 0);
    EXPECT_EQ(a.listIndex, 1);
    BoundInputs inputs;
    inputs.width = 240;
    inputs.height = 228;
    a = InitialArguments(size, inputs);
    EXPECT_EQ(a.value1, 240);
    EXPECT_EQ(a.value2, 228);
    EXPECT_EQ(a.value3, 1);
    EXPECT_EQ(a.listIndex, 0);

    a = InitialArguments(Op(CMD_ADD_NOISE), inputs);
    EXPECT_EQ(a.value1, 50);
    EXPECT_EQ(a.listIndex, 0);
    a = InitialArguments(Op(CMD_WAVES), inputs);
    EXPECT_EQ(a.value1, 0);
    EXPECT_EQ(a.value2, 0);
    EXPECT_EQ(a.value3, 100);
    a = ArgumentsOf(Op(CMD_THRESHOLD), {77, 3});
    EXPECT_EQ(a.value1, 77);
    EXPECT_EQ(a.listIndex, 3);
}

using TextureListTest = FreshState;

TEST_F(TextureListTest, TheTextureListIsTheTexturesFolder) {
    // Named by the process, so that test programs running side by side keep out of each other's way.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pw-operations-textures-" + std::to_string(getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "Stone.png") << "x";
    std::ofstream(folder / "Bark.png") << "x";
    SetTextureFolder(folder.string());

    const Operation& texture = Op(CMD_TEXTURE);
    EXPECT_EQ(SlotText(SlotOf(texture, 0)), "Threshold: 128, 10, 0 ... 255");
    const BoundInputs inputs = CurrentBoundInputs(0);
    EXPECT_EQ(inputs.lastTexture, 1);
    EXPECT_EQ(ListText(ListOf(texture), inputs), "Texture: Bark.png|Stone.png, 0 (0 ... 1)");
    const FilterArguments a = ArgumentsOf(texture, {100, 1});
    EXPECT_EQ(a.value1, 100);
    EXPECT_EQ(a.texturePath, folder.string() + "/Stone.png");
    EXPECT_EQ(InitialArguments(texture, inputs).texturePath, folder.string() + "/Bark.png");
    EXPECT_EQ(TexturePathOf(2), "");
    EXPECT_EQ(TexturePathOf(-1), "");

    // An empty folder leaves nothing to choose.
    std::filesystem::remove(folder / "Stone.png");
    std::filesystem::remove(folder / "Bark.png");
    EXPECT_EQ(CurrentBoundInputs(0).lastTexture, -1);
    std::filesystem::remove_all(folder);
}

TEST(OperationTable, TexturesAreFoundBesideTheProgramOrInItsInstallation) {
    namespace fs = std::filesystem;
    const fs::path root =
        fs::weakly_canonical(fs::temp_directory_path()) / ("pw-texture-lookup-" + std::to_string(getpid()));
    fs::remove_all(root);
    const fs::path bin = root / "bin";
    const fs::path installed = root / "share" / "pixelwright" / "data" / "textures";
    fs::create_directories(bin);
    // Nowhere near the program: the build tree's own folder.
    EXPECT_EQ(FindTextureFolder(bin.string()), std::string(PW_DATA_DIR) + "/textures");
    EXPECT_EQ(FindTextureFolder(""), std::string(PW_DATA_DIR) + "/textures");
    // An installed program finds the installation's data folder.
    fs::create_directories(installed);
    EXPECT_EQ(FindTextureFolder(bin.string()), installed.string());
    // A program in the build tree, whose data folder sits one up.
    fs::create_directories(root / "data" / "textures");
    EXPECT_EQ(FindTextureFolder(bin.string()), (root / "data" / "textures").string());
    // A folder beside the program comes first.
    fs::create_directories(bin / "data" / "textures");
    EXPECT_EQ(FindTextureFolder(bin.string()), (bin / "data" / "textures").string());
    fs::remove_all(root);
}
