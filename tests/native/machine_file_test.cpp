#include "platform/sim/machine_file.h"

#include <gtest/gtest.h>

namespace korvex {
namespace {

TEST(MachineFile, ReadsNumbersAndHexStrings) {
  SimulatedMachine machine;
  load_machine_text(R"({"version": "0xC0000A04", "last_error": 5})", machine);
  EXPECT_EQ(machine.version, 0xC0000A04u);
  EXPECT_EQ(machine.last_error, 5u);
}

TEST(MachineFile, ReadsDevicesByTheNameCreateFileReceives) {
  SimulatedMachine machine;
  const std::string sector = "4000 3f3f" + std::string(1012, '0') + " 00ff";
  load_machine_text(R"({"elevated": false, "devices": {
      "\\\\.\\Scsi0:": {"open_error": 2},
      "\\\\.\\PhysicalDrive0": {"ioctl_error": "0x32"},
      "\\\\.\\PhysicalDrive1": {"sector": ")" + sector + R"("},
      "\\\\.\\PhysicalDrive2": {"ata_pass_through": ")" + sector + R"(",
          "storage_descriptor": {"vendor": "ATA", "product": "P", "revision": "",
                                 "bus_type": 17}}}})",
                    machine);
  EXPECT_FALSE(machine.elevated);
  ASSERT_EQ(machine.devices.size(), 4u);
  EXPECT_EQ(machine.devices.at("\\\\.\\Scsi0:").open_error, 2u);
  EXPECT_EQ(machine.devices.at("\\\\.\\PhysicalDrive0").ioctl_error, 50u);
  const SimulatedDevice& answering = machine.devices.at("\\\\.\\PhysicalDrive1");
  EXPECT_FALSE(answering.open_error || answering.ioctl_error || answering.ata_pass_through ||
               answering.storage_descriptor);
  ASSERT_TRUE(answering.sector);
  EXPECT_EQ(answering.sector->at(0), 0x40);
  EXPECT_EQ(answering.sector->at(3), 0x3F);
  EXPECT_EQ(answering.sector->at(510), 0x00);
  EXPECT_EQ(answering.sector->at(511), 0xFF);
  const SimulatedDevice& newer = machine.devices.at("\\\\.\\PhysicalDrive2");
  EXPECT_FALSE(newer.sector);
  EXPECT_EQ(newer.ata_pass_through, answering.sector);
  ASSERT_TRUE(newer.storage_descriptor);
  EXPECT_EQ(newer.storage_descriptor->vendor, "ATA");
  EXPECT_EQ(newer.storage_descriptor->product, "P");
  EXPECT_EQ(newer.storage_descriptor->revision, "") << "present, and empty";
  EXPECT_EQ(newer.storage_descriptor->serial, std::nullopt) << "absent";
  EXPECT_EQ(newer.storage_descriptor->bus_type, 17u);
}

TEST(MachineFile, ReadsTheAddedDiskAnswers) {
  SimulatedMachine machine;
  const std::string sector = "4000" + std::string(1020, '0');
  const std::string controller = std::string(8190, '0') + "7f";
  load_machine_text(R"({"devices": {
      "a": {"ata_pass_through": ")" + sector + R"(", "ata_status": "0x51",
            "scsi_pass_through": ")" + sector + R"(", "sat12_only": true},
      "b": {"nvme_identify_controller": ")" + controller + R"(",
            "nvme_namespace_size": "0x1D1C5970"},
      "c": {"nvme_identify_controller": {"serial": "S1", "model": "M", "firmware": "F"},
            "storage_descriptor": {"vendor": "WDC WD80", "product": " 0JB "}}}})",
                    machine);
  const SimulatedDevice& a = machine.devices.at("a");
  EXPECT_EQ(a.ata_status, 0x51);
  EXPECT_EQ(a.scsi_pass_through, a.ata_pass_through);
  EXPECT_TRUE(a.sat12_only);
  EXPECT_FALSE(a.nvme_identify_controller || a.nvme_namespace_size);
  const SimulatedDevice& b = machine.devices.at("b");
  ASSERT_TRUE(b.nvme_identify_controller);
  EXPECT_EQ(b.nvme_identify_controller->at(4095), 0x7F);
  EXPECT_EQ(b.nvme_namespace_size, 0x1D1C5970u);
  EXPECT_EQ(b.ata_status, 0x50) << "no error by default";
  EXPECT_FALSE(b.sat12_only);
  const SimulatedDevice& c = machine.devices.at("c");
  EXPECT_EQ(c.nvme_identify_controller, nvme_controller_data("S1", "M", "F"));
  const NvmeIdentifyData& data = *c.nvme_identify_controller;
  EXPECT_EQ(std::string(data.begin() + 4, data.begin() + 24), "S1" + std::string(18, ' '));
  EXPECT_EQ(data[24], 'M');
  EXPECT_EQ(data[64], 'F');
  EXPECT_EQ(data[72], 0);
  EXPECT_EQ(c.storage_descriptor->product, " 0JB ") << "blanks kept";
}

TEST(MachineFile, ReadsMessagesByDecimalCode) {
  SimulatedMachine machine;
  load_machine_text(R"({"messages": {"0": "Success.\r\n", "4294967295": "Last."}})", machine);
  EXPECT_EQ(machine.messages, (std::map<std::uint32_t, std::string>{{0, "Success.\r\n"},
                                                                   {0xFFFFFFFFu, "Last."}}));
}

TEST(MachineFile, KeepsDefaultsForAbsentFields) {
  SimulatedMachine machine;
  load_machine_text("{}", machine);
  EXPECT_EQ(machine.version, 0x1DB10106u);
  EXPECT_EQ(machine.last_error, 0u);
  EXPECT_TRUE(machine.elevated);
  EXPECT_TRUE(machine.messages.empty());
}

TEST(MachineFile, RejectsUnknownFieldsAndBadValues) {
  for (const char* text : {R"({"versoin": 1})", R"({"version": "12"})", R"({"version": -1})",
                           R"({"version": "0x1FFFFFFFF"})", "[1]", "{", R"({"devices": []})",
                           R"({"devices": {"d": {"open_eror": 2}}})",
                           R"({"devices": {"d": {"sector": "00"}}})",
                           R"({"devices": {"d": {"sector": 0}}})",
                           R"({"elevated": 0})", R"({"elevated": "false"})",
                           R"({"devices": {"d": {"ata_pass_through": "00"}}})",
                           R"({"devices": {"d": {"storage_descriptor": "x"}}})",
                           R"({"devices": {"d": {"storage_descriptor": {"model": "x"}}}})",
                           R"({"devices": {"d": {"storage_descriptor": {"serial": 5}}}})",
                           R"({"devices": {"d": {"storage_descriptor": {"bus_type": -1}}}})",
                           R"({"devices": {"d": {"ata_status": 256}}})",
                           R"({"devices": {"d": {"sat12_only": 1}}})",
                           R"({"devices": {"d": {"scsi_pass_through": "00"}}})",
                           R"({"devices": {"d": {"nvme_identify_controller": "00"}}})",
                           R"({"devices": {"d": {"nvme_identify_controller": {"sn": "x"}}}})",
                           R"({"devices": {"d": {"nvme_namespace_size": -1}}})",
                           R"({"messages": []})", R"({"messages": {"2": 5}})",
                           R"({"messages": {"x2": "a"}})", R"({"messages": {"-1": "a"}})",
                           R"({"messages": {"": "a"}})", R"({"messages": {"0x2": "a"}})",
                           R"({"messages": {"4294967296": "a"}})"}) {
    SimulatedMachine machine;
    EXPECT_THROW(load_machine_text(text, machine), MachineFileError) << text;
  }
}

// Each message starts with the field the error is in; texts from the file
// are quoted with escapes.
TEST(MachineFile, NamesTheFieldOfEveryError) {
  struct Case {
    std::string text;
    std::string message_start;
  };
  const Case cases[] = {
      {R"({"version": 1e999})", "version: number out of range"},
      {R"({"version": -1e999})", "version: number out of range"},
      {R"({"drives": [{"letter": "C"}, {"letter": "D", "total": 1e400}]})",
       "drives[1].total: number out of range"},
      {R"({"devices": {"\\\\.\\Scsi0:": {"open_error": 1e999}}})",
       R"(devices["\\\\.\\Scsi0:"].open_error: number out of range)"},
      {R"({"messages": {"2": 1e999}})", "messages.2: number out of range"},
      {R"({"version": "0x-1"})", "version: expected a whole number"},
      {R"({"version": "0x+7"})", "version: expected a whole number"},
      {R"({"version": "0x 5"})", "version: expected a whole number"},
      {R"({"version": "0x0x10"})", "version: expected a whole number"},
      {R"({"version": "0x"})", "version: expected a whole number"},
      {R"({"version": " 0x5"})", "version: expected a whole number"},
      {R"({"drives": [{"letter": "C", "total": "0x10000000000000000"}]})",
       "drives[0].total: expected a whole number"},
      {R"({"drives": [{"letter": "C", "serial": 2.5}]})", "drives[0].serial: expected a whole number"},
      {std::string(R"({"drives": []})") + '\0' + "garbage", "machine: a NUL byte at offset 14"},
      {R"({"drives": [{"letter": "C"}, {"letter": "D", "type": 3,]})",
       "drives[1]: not valid JSON: \"parse error"},
      {R"({"version": 1, "x\u00e9": 2})", R"(machine: unknown field "x\xc3\xa9")"},
      // Found by the machine-file fuzzer: the parser's own message quoted the raw byte.
      {R"({"drives": [{"letter": "A")" "\xd4" R"( "type": 2}]})",
       R"(drives[0]: not valid JSON: "parse error)"},
      {R"({"devices": {"d": {"sector": "0g"}}})", R"(devices.d.sector: not a hex digit: "g")"},
      {R"({"messages": {"2\n": "a"}})", R"(messages["2\n"]: "2\n" is not a decimal 32-bit code)"},
      {R"({"messages": {"2": 5}})", "messages.2: expected a text"},
      {R"({"devices": {"d": {"nvme_identify_controller": {"model": 5}}}})",
       "devices.d.nvme_identify_controller.model: expected a string"},
      {R"({"devices": {"d": {"storage_descriptor": {"bus_type": "x"}}}})",
       "devices.d.storage_descriptor.bus_type: expected a whole number"},
  };
  for (const Case& c : cases) {
    SimulatedMachine machine;
    try {
      load_machine_text(c.text, machine);
      ADD_FAILURE() << c.text << " was accepted";
    } catch (const MachineFileError& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.substr(0, c.message_start.size()), c.message_start) << message;
      EXPECT_EQ(message.find_first_not_of(" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                          "[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"),
                std::string::npos)
          << message;
    }
  }
}

TEST(MachineFile, ReadsHexWithEitherPrefixAndLeadingZeros) {
  SimulatedMachine machine;
  load_machine_text(R"({"version": "0X00000000000000001F", "drives": [
      {"letter": "C", "total": "0xFFFFFFFFFFFFFFFF"}]})",
                    machine);
  EXPECT_EQ(machine.version, 0x1Fu);
  EXPECT_EQ(machine.drives.at('C').total, 0xFFFFFFFFFFFFFFFFu);
}

TEST(MachineFile, ReadsDrivesWithTheirDefaults) {
  SimulatedMachine machine;
  load_machine_text(R"({"drives": [
      {"letter": "C"},
      {"letter": "D", "type": 5, "label": "DISC", "fs": "CDFS", "serial": "0xA4B3C2D1",
       "total": 5497558138880, "free": 4096, "volume_error": 21, "space_error": 5}]})",
                    machine);
  ASSERT_EQ(machine.drives.size(), 2u);
  EXPECT_EQ(machine.drives.at('C'), SimulatedDrive{});
  const SimulatedDrive d{.type = 5, .label = "DISC", .file_system = "CDFS", .serial = 0xA4B3C2D1,
                         .total = 5497558138880, .free = 4096, .volume_error = 21,
                         .space_error = 5};
  EXPECT_EQ(machine.drives.at('D'), d);
}

TEST(MachineFile, RejectsMalformedDrives) {
  for (const char* text : {
           R"({"drives": {"letter": "C"}})",
           R"({"drives": [{}]})",
           R"({"drives": [{"letter": "c"}]})",
           R"({"drives": [{"letter": "CD"}]})",
           R"({"drives": [{"letter": "C"}, {"letter": "C"}]})",
           R"({"drives": [{"letter": "C", "size": 1}]})",
           R"({"drives": [{"letter": "C", "label": 7}]})",
           R"({"drives": [{"letter": "C", "total": -1}]})",
           R"({"drives": [{"letter": "C", "serial": "0x100000000"}]})",
       }) {
    SimulatedMachine machine;
    EXPECT_THROW(load_machine_text(text, machine), MachineFileError) << text;
  }
}

}  // namespace
}  // namespace korvex
