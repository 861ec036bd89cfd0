#pragma once

#include <string_view>

namespace tamsel {

// Whether an object of the named class could be created. The program probes the classes of its
// platform components; each is answered by whether this system's stand-in for it is usable:
// "Microsoft.XMLHTTP" and "msxml2.ServerXMLHTTP" by the HTTP transport initialising,
// "Scripting.filesystemobject" by the temporary folder being reachable, and "ADODB.Stream" by a
// file being creatable there. Class names compare ignoring case; any other name gives false.
bool CanCreateObject(std::string_view className);

// Whether this system's HTTP transport initialises (one file per system).
bool HttpTransportUsable();

}  // namespace tamsel
