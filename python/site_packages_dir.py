"""Prints where a Python package goes under an installation prefix, relative
to the prefix: a site-packages folder this interpreter already searches when one
lies under the prefix, otherwise the folder its own installation scheme names.

Usage: python3 site_packages_dir.py PREFIX
"""

import os
import site
import sys
import sysconfig


def site_packages_dir(prefix):
    prefix = os.path.normpath(os.path.abspath(prefix))
    for folder in site.getsitepackages():
        folder = os.path.normpath(folder)
        if os.path.commonpath([prefix, folder]) != prefix:
            continue
        relative = os.path.relpath(folder, prefix)
        # Directly in the prefix's own lib folder: /usr/local/lib/... belongs to
        # the prefix /usr/local, not to /usr.
        if relative.split(os.sep)[0] in ("lib", "lib64"):
            return relative
    # Debian's interpreter names its system scheme deb_system (lib/python3/dist-packages);
    # others follow posix_prefix (lib/python3.X/site-packages).
    scheme = "deb_system" if "deb_system" in sysconfig.get_scheme_names() else "posix_prefix"
    folder = sysconfig.get_path("platlib", scheme, vars={"base": prefix, "platbase": prefix})
    return os.path.relpath(folder, prefix)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: site_packages_dir.py PREFIX")
    print(site_packages_dir(sys.argv[1]))
