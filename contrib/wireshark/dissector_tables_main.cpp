// zk_dissector_tables SCRIPT.lua: rewrites the generated tables of the dissector script from
// the field dictionary and message names of this build.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "interchange/dissector_tables.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zk_dissector_tables contrib/wireshark/usbpd.lua\n");
    return 2;
  }
  std::string script;
  {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "zk_dissector_tables: cannot read '%s'\n", argv[1]);
      return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    script = text.str();
  }
  if (!zk::interchange::ReplaceDissectorTables(script, zk::interchange::DissectorTablesLua())) {
    std::fprintf(stderr, "zk_dissector_tables: '%s' has no generated section\n", argv[1]);
    return 1;
  }
  std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
  out << script;
  if (!out.flush()) {
    std::fprintf(stderr, "zk_dissector_tables: cannot write '%s'\n", argv[1]);
    return 1;
  }
  return 0;
}
