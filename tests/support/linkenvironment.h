#pragma once
// A private world for a test: settings in a temporary directory, and every COM name mapped to a
// pseudo-terminal or to nothing, so that no test ever opens this machine's own serial devices.
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

private:
    std::string directory_;
    std::string portMap_;
};

} // namespace olk::test
