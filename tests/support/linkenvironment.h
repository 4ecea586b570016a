#pragma once
// A private world for a test: settings in a temporary directory, and every COM name mapped to a
// pseudo-terminal or to nothing, so that no test ever opens this machine's own serial devices;
// for the Windows program under Wine too.
#include <map>
#include <string>
#include <vector>

namespace olk::test {

class LinkEnvironment {
public:
    // ports: COM name -> device path; every other COM name maps to no device.
    explicit LinkEnvironment(const std::map<std::string, std::string>& ports = {});
    ~LinkEnvironment();
    LinkEnvironment(const LinkEnvironment&) = delete;
    LinkEnvironment& operator=(const LinkEnvironment&) = delete;

    void MapPorts(const std::map<std::string, std::string>& ports);
    const std::string& Directory() const { return directory_; }
    // The names of the plain files in the directory, sorted: what an operation left there.
    std::vector<std::string> FileNames() const;
    // The OLKMIXER_PORTS value in force.
    const std::string& PortMapValue() const { return portMap_; }

    // Names the directory of the Wine prefix, when the Windows program is under test: its COM1
    // to COM8 lead through the links in ports/ there (scripts/wineprefix.sh).
    static constexpr const char* kWineHomeVariable = "OLK_WINE_HOME";

private:
    static void LinkWinePort(const std::string& name, const std::string& device);

    std::string directory_;
    std::string portMap_;
};

} // namespace olk::test
