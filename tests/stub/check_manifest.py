"""Reads the application manifest back from each stub (resource type 24, id 1) and checks
every element the stub relies on: elevation, the supported Windows versions, system DPI
awareness and the version 6 common controls for any processor. Needs pefile."""
import sys
import xml.etree.ElementTree as ET

import pefile

ASM1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM2 = "{urn:schemas-microsoft-com:asm.v2}"
ASM3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPAT = "{urn:schemas-microsoft-com:compatibility.v1}"
SETTINGS = "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}"
RT_MANIFEST = 24

SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}": "Vista",
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "10 and 11",
}


def manifest_of(path):
    """The bytes of every manifest resource, by id."""
    pe = pefile.PE(path)
    found = {}
    resources = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in resources.entries if resources else []:
        if kind.id != RT_MANIFEST:
            continue
        for entry in kind.directory.entries:
            for language in entry.directory.entries:
                data = language.data.struct
                found[entry.id] = pe.get_data(data.OffsetToData, data.Size)
    return found


def problems_of(data):
    problems = []
    root = ET.fromstring(data)
    if root.tag != ASM1 + "assembly":
        return ["the root element is " + root.tag]
    levels = root.findall(f"{ASM2}trustInfo/{ASM2}security/{ASM2}requestedPrivileges/"
                          f"{ASM2}requestedExecutionLevel")
    if [(e.get("level"), e.get("uiAccess")) for e in levels] != [("requireAdministrator", "false")]:
        problems.append("requestedExecutionLevel is not requireAdministrator, uiAccess false")
    ids = [e.get("Id") for e in root.findall(f"{COMPAT}compatibility/{COMPAT}application/"
                                             f"{COMPAT}supportedOS")]
    missing = [name for guid, name in SUPPORTED_OS.items() if guid not in ids]
    if missing or len(ids) != len(SUPPORTED_OS):
        problems.append(f"supportedOS: missing {missing}, found {ids}")
    aware = root.findall(f"{ASM3}application/{ASM3}windowsSettings/{SETTINGS}dpiAware")
    if [e.text for e in aware] != ["true"]:
        problems.append("dpiAware is not 'true' (system DPI awareness)")
    controls = root.findall(f"{ASM1}dependency/{ASM1}dependentAssembly/{ASM1}assemblyIdentity")
    wanted = {"type": "win32", "name": "Microsoft.Windows.Common-Controls",
              "version": "6.0.0.0", "processorArchitecture": "*",
              "publicKeyToken": "6595b64144ccf1df", "language": "*"}
    if [dict(e.attrib) for e in controls] != [wanted]:
        problems.append(f"the common-controls dependency is {[e.attrib for e in controls]}")
    # The copy embedded in the stub is kept small: no comment, no line break, no indent.
    if b"<!--" in data or b"\n" in data or b">  " in data:
        problems.append("the manifest carries comments or layout")
    return problems


def main(paths):
    failed = False
    for path in paths:
        manifests = manifest_of(path)
        problems = problems_of(manifests[1]) if list(manifests) == [1] else [
            f"manifest resources with ids {sorted(manifests)}, want exactly id 1"]
        for problem in problems:
            print(f"FAIL {path}: {problem}")
        failed = failed or bool(problems)
        if not problems:
            print(f"ok   {path}: manifest of {len(manifests[1])} bytes")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
