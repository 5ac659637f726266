// The handset's ids named in the settings file instead of the build's: the
// HID walk and the device-change filter follow them.
#include "device/handset_fixture.h"

namespace vocastra {
namespace {

using test::HandsetFixture;
using ::testing::ElementsAre;

constexpr uint16_t kOtherVendor = 0x0D8C;
constexpr uint16_t kOtherProduct = 0x013C;

struct HandsetIdsTest : HandsetFixture {
    HandsetIdsTest() { sim.hidBus.SetIds(kOtherVendor, kOtherProduct); }
    // A device with the build's ids and the handset's usages, listed first.
    void AddBuildIdsDevice() {
        HidInterfaceInfo other;
        other.path = "\\\\?\\hid#vid_1130&pid_0202#1&2d595ca7&0&0000";
        other.vendorId = kHandsetVendorId;
        other.productId = kHandsetProductId;
        other.usagePage = 0xFF00;
        other.usage = 0xA5;
        other.inputReportLength = 33;
        sim.hidBus.AddForeignInterface(other);
    }
};

TEST_F(HandsetIdsTest, AnotherHandsetIsTakenOnlyWhenTheSettingsNameIt) {
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_HANDSET_VID=0d8c\nVAL_HANDSET_PID=013c\n");
    AddBuildIdsDevice();
    Start();
    EXPECT_TRUE(dev.transport.IsReadHandleValid());
    EXPECT_TRUE(dev.transport.IsWriteHandleValid());
    EXPECT_EQ(dev.transport.g_UsbReadDevice.m_DevicePath, sim.hidBus.InputPath());
    Tap(8);
    EXPECT_THAT(Keys(), ElementsAre("5"));

    // Plugging it in again is recognised by the same ids.
    sim.hidBus.Unplug();
    EXPECT_FALSE(dev.transport.IsReadHandleValid());
    sim.hidBus.Plug();
    EXPECT_TRUE(dev.transport.IsReadHandleValid());
    EXPECT_TRUE(dev.transport.IsWriteHandleValid());
    EXPECT_EQ(LogCount("DBT_DEVICEARRIVAL: Start Connect"), 2);
}

TEST_F(HandsetIdsTest, WithoutAValidOverrideTheBuildsIdsStay) {
    // The product id is not hexadecimal: the build's pair is looked for.
    dir.Write("Vocastra.ini", "[SETTING]\nVAL_HANDSET_VID=0d8c\nVAL_HANDSET_PID=13c?\n");
    Start();
    EXPECT_FALSE(dev.transport.IsReadHandleValid());
    EXPECT_FALSE(dev.transport.IsWriteHandleValid());
    EXPECT_FALSE(dev.deviceChange.IsHandsetPath(sim.hidBus.InputPath()));
    sim.hidBus.Unplug();
    sim.hidBus.Plug();
    EXPECT_EQ(LogCount("DBT_DEVICE"), 0);
}

}  // namespace
}  // namespace vocastra
