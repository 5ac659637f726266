#include "device/handset_fixture.h"

namespace vocastra {
namespace {

using test::HandsetFixture;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

using DeviceChangeTest = HandsetFixture;

TEST_F(DeviceChangeTest, RePlugReconnectsAndLeavesBothHandlesOpen) {
    Start();
    app.dlg.points.GetUsbPhoneWaveOutDeviceName.Fill([] { return std::string("USB Out"); });
    app.dlg.points.GetUsbPhoneWaveInDeviceName.Fill([] { return std::string("USB In"); });
    handset.Start();
    Pump();
    EXPECT_EQ(app.flags.g_bDeviceStarted, 1);
    app.connectionLog.Clear();

    sim.hidBus.Unplug();  // two removals
    EXPECT_EQ(app.flags.g_bDeviceStarted, 0);
    EXPECT_FALSE(dev.transport.IsReadHandleValid());
    EXPECT_FALSE(dev.transport.IsWriteHandleValid());
    EXPECT_EQ(Calls("UpdateTrayIcon").size(), 2u);

    handset.ClearTrace();
    sim.hidBus.Plug();  // two arrivals, each running the whole sequence
    EXPECT_TRUE(dev.transport.IsReadHandleValid());
    EXPECT_TRUE(dev.transport.IsWriteHandleValid());
    EXPECT_EQ(sim.hidBus.OpenHandleCount(), 2);  // nothing leaked
    EXPECT_THAT(handset.Trace(), ElementsAre("HANDSET plugged", "HANDSET <- CMD_CONNECT",
                                             "HANDSET <- CMD_CONNECT", "HANDSET <- CMD_CONNECT"));
    EXPECT_EQ(LogCount("DBT_DEVICEARRIVAL: Start Connect"), 2);
    EXPECT_EQ(app.dlg.OutDeviceName(), "USB Out");
    EXPECT_EQ(app.dlg.InDeviceName(), "USB In");
    EXPECT_TRUE(sim.logSink.Contains("InDevice=USB In, OutDevice=USB Out"));
    // Each arrival gives the client the handset's devices.
    EXPECT_EQ(LogCount("SendMessageToSkype:  SET AUDIO_IN USB In"), 2);

    // Keys work on the new handles.
    Tap(8);
    EXPECT_THAT(Keys(), ElementsAre("5"));
}

TEST_F(DeviceChangeTest, OtherDevicesChangeNothing) {
    Start();
    const HidHandle r = dev.transport.g_UsbReadDevice.m_ReadHandle;
    const HidHandle w = dev.transport.g_UsbWriteDevice.m_WriteHandle;
    sim.hidBus.AnnounceArrival("\\\\?\\HID#VID_845E&PID_0001#1&2d595ca7&0&0000#{4d1e55b2}");
    sim.hidBus.AnnounceRemoval("\\\\?\\hid#vid_045e&pid_0202#1&2d595ca7&0&0000#{4d1e55b2}");
    EXPECT_EQ(dev.transport.g_UsbReadDevice.m_ReadHandle, r);
    EXPECT_EQ(dev.transport.g_UsbWriteDevice.m_WriteHandle, w);
    EXPECT_THAT(handset.Trace(), IsEmpty());
    EXPECT_FALSE(sim.logSink.Contains("DBT_DEVICE"));
}

TEST_F(DeviceChangeTest, UpperCasePathsMatch) {
    sim.hidBus.SetUpperCasePaths(true);
    Start();
    EXPECT_TRUE(dev.deviceChange.IsHandsetPath(sim.hidBus.InputPath()));
    sim.hidBus.Unplug();
    EXPECT_FALSE(dev.transport.IsWriteHandleValid());
    sim.hidBus.Plug();
    EXPECT_TRUE(dev.transport.IsWriteHandleValid());
}

TEST_F(DeviceChangeTest, EnumerationSkipsForeignInterfaces) {
    HidInterfaceInfo mouse;  // Wine's own HID mouse, same usages as a vendor device would use
    mouse.path = "\\\\?\\hid#vid_845e&pid_0001#1&2d595ca7&0&0000";
    mouse.vendorId = 0x845E;
    mouse.productId = 0x0001;
    mouse.usagePage = 0xFF00;
    mouse.usage = 0xA5;
    mouse.inputReportLength = 9;
    sim.hidBus.AddForeignInterface(mouse);
    HidInterfaceInfo broken;
    broken.status = HidInterfaceInfo::Status::DetailFailed;
    sim.hidBus.AddForeignInterface(broken);
    HidInterfaceInfo noCaps = mouse;
    noCaps.vendorId = kHandsetVendorId;
    noCaps.productId = kHandsetProductId;
    noCaps.status = HidInterfaceInfo::Status::NoPreparsedData;
    sim.hidBus.AddForeignInterface(noCaps);

    EXPECT_FALSE(dev.transport.ReadDeviceFirst());  // no handset yet
    EXPECT_TRUE(sim.logSink.Contains("USBConnectToIthDevice fail 2"));
    EXPECT_TRUE(sim.logSink.Contains("XXX  Could not get HID preparsed data.\n"));
    EXPECT_TRUE(sim.logSink.Contains("USBConnectToIthDevice fail 1"));
    EXPECT_FALSE(dev.transport.IsReadHandleValid());

    sim.hidBus.Plug();
    EXPECT_TRUE(dev.transport.ReadDeviceFirst());
    EXPECT_TRUE(dev.transport.WriteDeviceFirst());
    EXPECT_EQ(dev.transport.g_UsbReadDevice.m_DevicePath, sim.hidBus.InputPath());
    EXPECT_EQ(dev.transport.g_UsbWriteDevice.m_DevicePath, sim.hidBus.OutputPath());
}

TEST_F(DeviceChangeTest, OversizedReportsAreRefused) {
    sim.hidBus.SetDeclaredLengths(257, 34);
    Start();
    EXPECT_FALSE(dev.transport.IsReadHandleValid());
    EXPECT_FALSE(dev.transport.IsWriteHandleValid());
    dev.NewWriteCmd(CMD_CONNECT, 0, 0, 0);
    EXPECT_THAT(handset.Trace(), IsEmpty());
    EXPECT_TRUE(sim.logSink.Contains("NewWriteCmd:Write USB failed: m_WriteHandle is not valid"));

    sim.hidBus.Unplug();
    sim.hidBus.SetDeclaredLengths(256, 33);
    sim.hidBus.Plug();
    EXPECT_TRUE(dev.transport.IsReadHandleValid());
    EXPECT_TRUE(dev.transport.IsWriteHandleValid());
}

TEST_F(DeviceChangeTest, OnlyTheInputCollection) {
    Start(SimHidBus::Collections::InputOnly);
    EXPECT_FALSE(dev.transport.WriteDeviceFirst());
    EXPECT_FALSE(dev.transport.IsWriteHandleValid());
    dev.NewWriteCmd(CMD_LED_ON, 0, 0, 0);
    EXPECT_TRUE(sim.logSink.Contains("NewWriteCmd:Write USB failed: m_WriteHandle is not valid"));
    Tap(8);  // keys still arrive
    EXPECT_THAT(Keys(), ElementsAre("5"));
}

}  // namespace
}  // namespace vocastra
