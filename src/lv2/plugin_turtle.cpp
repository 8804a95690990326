#include "lv2/plugin_turtle.h"

#include <cstdio>
#include <sstream>

#include "lv2/plugin_ports.h"
#include "lv2/plugin_uris.h"
#include "version.h"

namespace ampora {

namespace {

constexpr const char* kPrefixes =
    "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix ampora: <" AMPORA_LV2_PREFIX "> .\n";

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

const char* UnitName(ParamUnit unit) {
  switch (unit) {
    case kPercent:
      return "units:pc";
    case kMilliseconds:
      return "units:ms";
    case kDecibels:
      return "units:db";
    case kSemitones:
      return "units:semitone12TET";
    case kUnitless:
      break;
  }
  return nullptr;
}

// The version of the project as LV2's minor and micro version ("0.1.0": 1 and 0).
void WriteVersion(std::ostream& out) {
  int major = 0;
  int minor = 0;
  int micro = 0;
  std::sscanf(kVersionText, "%d.%d.%d", &major, &minor, &micro);
  out << "    lv2:minorVersion " << minor << " ;\n    lv2:microVersion " << micro << " ;\n";
}

void WriteControlRange(std::ostream& out, const PortSpec& port) {
  out << " ;\n        lv2:default " << port.defaultValue << " ;\n        lv2:minimum " << port.min
      << " ;\n        lv2:maximum " << port.max << " ;\n        lv2:portProperty "
      << (port.toggled ? "lv2:toggled , " : "") << "lv2:integer";
  if (const char* unit = UnitName(port.unit)) out << " ;\n        units:unit " << unit;
}

void WriteBankPoints(std::ostream& out) {
  out << " ;\n        lv2:portProperty lv2:enumeration ;\n        lv2:scalePoint [ rdfs:label "
         "\"Working setting\" ; rdf:value 0 ]";
  for (int bank = 1; bank <= kBankPortMax; ++bank) {
    out << " ,\n            [ rdfs:label \"Bank " << bank << "\" ; rdf:value " << bank << " ]";
  }
}

void WritePort(std::ostream& out, uint32_t index, const PortSpec& port) {
  const bool audio = port.role == PortRole::kAudioIn || port.role == PortRole::kAudioOutLeft ||
                     port.role == PortRole::kAudioOutRight;
  const bool output = port.role == PortRole::kAudioOutLeft ||
                      port.role == PortRole::kAudioOutRight || port.role == PortRole::kLatency;
  out << "    [\n        a " << (audio ? "lv2:AudioPort" : "lv2:ControlPort") << " , "
      << (output ? "lv2:OutputPort" : "lv2:InputPort") << " ;\n        lv2:index " << index
      << " ;\n        lv2:symbol " << Quoted(port.symbol) << " ;\n        lv2:name "
      << Quoted(port.name);
  if (port.role == PortRole::kLatency) {
    out << " ;\n        lv2:designation lv2:latency ;\n        lv2:portProperty lv2:integer , "
           "<http://lv2plug.in/ns/ext/port-props#notOnGUI> ;\n        units:unit units:frame";
  } else if (!audio) {
    WriteControlRange(out, port);
    if (port.role == PortRole::kBank) WriteBankPoints(out);
  }
  out << "\n    ]";
}

}  // namespace

std::string ManifestTurtle(const std::string& binary) {
  std::ostringstream out;
  out << "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
         "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n\n"
      << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    lv2:binary <" << binary
      << "> ;\n    rdfs:seeAlso <" << kPluginTurtleFile << "> .\n";
  return out.str();
}

std::string PluginTurtle() {
  std::ostringstream out;
  out << kPrefixes << "\n";
  out << "ampora:workingSetting\n    a rdf:Property ;\n    rdfs:label \"Working setting\" ;\n"
         "    rdfs:comment \"The working setting as the text of a bank section.\" .\n\n";
  out << "ampora:settingsFile\n    a lv2:Parameter ;\n    rdfs:label \"Settings file\" ;\n"
         "    rdfs:comment \"The settings file whose twelve banks the bank port selects.\" ;\n"
         "    rdfs:range atom:Path .\n\n";
  out << "<" << kPluginUri << ">\n    a lv2:Plugin ;\n    doap:name \"ampora\" ;\n";
  WriteVersion(out);
  out << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , state:mapPath , "
         "state:freePath ;\n    lv2:extensionData state:interface ;\n    lv2:port\n";
  const std::vector<PortSpec>& ports = PluginPorts();
  for (size_t i = 0; i < ports.size(); ++i) {
    WritePort(out, static_cast<uint32_t>(i), ports[i]);
    out << (i + 1 < ports.size() ? " ,\n" : " .\n");
  }
  return out.str();
}

}  // namespace ampora
