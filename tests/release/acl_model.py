"""A small model of NTFS folder and file security, enough to judge the
installers' icacls lines without Windows.

It covers what those lines use: allow entries with the inheritance flags
(OI)(CI)(IO)(NP), protected and inherited entries, CREATOR OWNER
substitution, OWNER RIGHTS, the owner's implicit rights, the generic and
simple rights icacls knows, and icacls' /reset, /setowner, /inheritance
and /grant. Anything else (deny entries, /remove, /deny, unknown rights) is
refused rather than guessed, so a new kind of line in folder-rights.txt
makes the tests fail until the model understands it.
"""

import re
from dataclasses import dataclass, field, replace

SYSTEM = "S-1-5-18"
ADMINISTRATORS = "S-1-5-32-544"
USERS = "S-1-5-32-545"
EVERYONE = "S-1-1-0"
AUTHENTICATED_USERS = "S-1-5-11"
INTERACTIVE = "S-1-5-4"
CREATOR_OWNER = "S-1-3-0"
OWNER_RIGHTS = "S-1-3-4"
TRUSTED_INSTALLER = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"

# File and folder access rights (winnt.h). For a folder the first bits read
# as list (RD), add file (WD), add subfolder (AD), traverse (X), delete
# child (DC).
RD, WD, AD, REA, WEA, X, DC, RA, WA = 0x1, 0x2, 0x4, 0x8, 0x10, 0x20, 0x40, 0x80, 0x100
DELETE, READ_CONTROL, WRITE_DAC, WRITE_OWNER, SYNCHRONIZE = (
    0x10000, 0x20000, 0x40000, 0x80000, 0x100000)
GENERIC_READ, GENERIC_WRITE, GENERIC_EXECUTE, GENERIC_ALL = (
    0x80000000, 0x40000000, 0x20000000, 0x10000000)

FILE_GENERIC_READ = READ_CONTROL | RD | RA | REA | SYNCHRONIZE
FILE_GENERIC_WRITE = READ_CONTROL | WD | WA | WEA | AD | SYNCHRONIZE
FILE_GENERIC_EXECUTE = READ_CONTROL | RA | X | SYNCHRONIZE
FILE_ALL_ACCESS = 0x1F01FF

SPECIFIC = {"RD": RD, "WD": WD, "AD": AD, "REA": REA, "WEA": WEA, "X": X, "DC": DC,
            "RA": RA, "WA": WA, "DE": DELETE, "RC": READ_CONTROL, "WDAC": WRITE_DAC,
            "WO": WRITE_OWNER, "S": SYNCHRONIZE, "GR": GENERIC_READ, "GW": GENERIC_WRITE,
            "GE": GENERIC_EXECUTE, "GA": GENERIC_ALL}
# icacls' simple rights, as the masks it writes.
SIMPLE = {"F": FILE_ALL_ACCESS, "M": 0x1301BF, "RX": 0x1200A9, "R": 0x120089,
          "W": 0x100116, "D": DELETE, "N": 0}

NAMES = {SYSTEM: "SYSTEM", ADMINISTRATORS: "Administrators", USERS: "Users",
         EVERYONE: "Everyone", CREATOR_OWNER: "CREATOR OWNER", OWNER_RIGHTS: "OWNER RIGHTS"}


def map_generic(mask):
    if mask & GENERIC_READ:
        mask |= FILE_GENERIC_READ
    if mask & GENERIC_WRITE:
        mask |= FILE_GENERIC_WRITE
    if mask & GENERIC_EXECUTE:
        mask |= FILE_GENERIC_EXECUTE
    if mask & GENERIC_ALL:
        mask |= FILE_ALL_ACCESS
    return mask & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL)


def describe(mask):
    """The specific rights in a mask, in icacls' names: for messages."""
    mask = map_generic(mask)
    names = [name for name, bit in SPECIFIC.items()
             if not name.startswith("G") and mask & bit]
    return "(" + ",".join(names) + ")" if names else "(none)"


class ModelError(ValueError):
    """A line the model does not understand: refuse to judge it."""


@dataclass(frozen=True)
class Ace:
    sid: str
    mask: int
    oi: bool = False  # object inherit: files below get it
    ci: bool = False  # container inherit: folders below get it
    io: bool = False  # inherit only: not effective on this object
    np: bool = False  # no propagate: only to direct children
    inherited: bool = False

    def sddl(self):
        flags = "".join(f for f, on in (("OI", self.oi), ("CI", self.ci), ("IO", self.io),
                                        ("NP", self.np), ("ID", self.inherited)) if on)
        return "(A;%s;0x%x;;;%s)" % (flags, self.mask, self.sid)


@dataclass
class Node:
    """A folder or file with its owner and DACL."""
    name: str
    is_folder: bool
    owner: str
    protected: bool = False
    aces: list = field(default_factory=list)
    parent: "Node" = None
    children: list = field(default_factory=list)

    def explicit(self):
        return [a for a in self.aces if not a.inherited]

    def child(self, name):
        for c in self.children:
            if c.name == name:
                return c
        raise KeyError(name)

    def sddl(self):
        return "O:%sD:%s%s" % (self.owner, "PAI" if self.protected else "AI",
                               "".join(a.sddl() for a in self.aces))


def inherited_aces(parent, is_folder, owner):
    """The entries an object created in (or re-inheriting from) parent gets.

    CREATOR OWNER entries become entries for the new object's owner;
    OWNER RIGHTS entries stay OWNER RIGHTS.
    """
    out = []
    for ace in parent.aces:
        if is_folder:
            if not (ace.ci or (ace.oi and not ace.np)):
                continue
        elif not ace.oi:
            continue
        if ace.sid == CREATOR_OWNER:
            # An entry for the new object's owner where the placeholder
            # applies to the object itself...
            if not is_folder or ace.ci:
                out.append(Ace(owner, ace.mask, inherited=True))
            # ...and a folder keeps the placeholder for what is made in it.
            if is_folder and not ace.np:
                out.append(Ace(CREATOR_OWNER, ace.mask, oi=ace.oi, ci=ace.ci, io=True,
                               inherited=True))
            continue
        if not is_folder or ace.np:
            out.append(Ace(ace.sid, ace.mask, inherited=True))
        elif ace.ci:
            out.append(Ace(ace.sid, ace.mask, oi=ace.oi, ci=True, inherited=True))
        else:
            # Object-inherit only: the folder passes it on to its files but
            # is not itself governed by it.
            out.append(Ace(ace.sid, ace.mask, oi=True, io=True, inherited=True))
    return out


def reinherit(node):
    """Recompute the inherited entries of node and of everything below it."""
    if node.parent is not None and not node.protected:
        node.aces = node.explicit() + inherited_aces(node.parent, node.is_folder, node.owner)
    elif node.protected:
        node.aces = node.explicit()
    for child in node.children:
        reinherit(child)


def add(parent, name, is_folder, owner, explicit=()):
    """Create an object in parent, as the owner would, inheriting."""
    node = Node(name, is_folder, owner, parent=parent)
    node.aces = list(explicit) + inherited_aces(parent, is_folder, owner)
    parent.children.append(node)
    return node


_GRANT = re.compile(r"^\*(S-1-[0-9-]+):((?:\((?:OI|CI|IO|NP)\))*)\(?([A-Z,]+)\)?$")


def parse_grant(text):
    """One icacls grant, "*SID:(OI)(CI)F" or "*SID:(RD,WD)", as an Ace."""
    m = _GRANT.match(text)
    if not m:
        raise ModelError("not a grant by SID: %r" % text)
    sid, flags, rights = m.groups()
    if rights in SIMPLE:
        mask = SIMPLE[rights]
    else:
        mask = 0
        for name in rights.split(","):
            if name not in SPECIFIC:
                raise ModelError("unknown right %r in %r" % (name, text))
            mask |= SPECIFIC[name]
    return Ace(sid, mask, oi="(OI)" in flags, ci="(CI)" in flags, io="(IO)" in flags,
               np="(NP)" in flags)


def apply_icacls(node, arguments):
    """Apply the arguments of one icacls command (after the name) to node."""
    words = arguments.split()
    if not words:
        raise ModelError("no icacls arguments")
    if words == ["/reset"]:
        node.aces = []
        node.protected = False
        reinherit(node)
        return
    if words[0] == "/setowner":
        if len(words) != 2 or not words[1].startswith("*S-1-"):
            raise ModelError("/setowner needs one SID: %r" % arguments)
        node.owner = words[1][1:]
        reinherit(node)
        return
    i = 0
    while i < len(words):
        word = words[i]
        if word == "/inheritance:r":
            node.protected = True
            node.aces = node.explicit()
        elif word == "/inheritance:d":
            node.protected = True
            node.aces = [replace(a, inherited=False) for a in node.aces]
        elif word == "/inheritance:e":
            node.protected = False
        elif word in ("/grant", "/grant:r"):
            grants = []
            while i + 1 < len(words) and not words[i + 1].startswith("/"):
                i += 1
                grants.append(parse_grant(words[i]))
            if not grants:
                raise ModelError("%s without grants" % word)
            for ace in grants:
                if word == "/grant:r":
                    node.aces = [a for a in node.aces if a.inherited or a.sid != ace.sid]
                node.aces.insert(len(node.explicit()), ace)
        else:
            raise ModelError("icacls option the model does not know: %r" % word)
        i += 1
    reinherit(node)


def granted(node, token):
    """The access a token (a set of SIDs, the user's first) gets to node."""
    owner_rights = [a for a in node.aces if a.sid == OWNER_RIGHTS and not a.io]
    mask = 0
    is_owner = node.owner in token
    if is_owner and not owner_rights:
        mask |= READ_CONTROL | WRITE_DAC
    for ace in node.aces:
        if ace.io:
            continue
        if ace.sid in token or (ace.sid == OWNER_RIGHTS and is_owner):
            mask |= map_generic(ace.mask)
    return mask


def can_delete(node, token):
    """Deleting needs DELETE on the object or delete-child on its folder."""
    return bool(granted(node, token) & DELETE) or bool(
        node.parent is not None and granted(node.parent, token) & DC)


def standard_user(rid):
    """The SIDs in a standard (not elevated) user's token."""
    return frozenset({"S-1-5-21-1000-2000-3000-%d" % rid, USERS, EVERYONE,
                      AUTHENTICATED_USERS, INTERACTIVE})


def user_sid(token):
    return sorted(s for s in token if s.startswith("S-1-5-21-"))[0]


# C:\Program Files and C:\Program Files (x86) as Windows 10 ships them: what
# /reset brings back and what a new folder in them inherits.
def program_files(name):
    return Node(name, True, TRUSTED_INSTALLER, protected=True, aces=[
        Ace(TRUSTED_INSTALLER, FILE_ALL_ACCESS),
        Ace(TRUSTED_INSTALLER, GENERIC_ALL, ci=True, io=True),
        Ace(SYSTEM, SIMPLE["M"]),
        Ace(SYSTEM, GENERIC_ALL, oi=True, ci=True, io=True),
        Ace(ADMINISTRATORS, SIMPLE["M"]),
        Ace(ADMINISTRATORS, GENERIC_ALL, oi=True, ci=True, io=True),
        Ace(USERS, SIMPLE["RX"]),
        Ace(USERS, GENERIC_READ | GENERIC_EXECUTE, oi=True, ci=True, io=True),
        Ace(CREATOR_OWNER, GENERIC_ALL, oi=True, ci=True, io=True),
    ])
