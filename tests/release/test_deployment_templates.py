#!/usr/bin/env python3
"""The templates schools deploy with: Group Policy and scheduled tasks.

Rerevure.admx and en-US/Rerevure.adml must be well-formed, ADMX schema 1.0
policies of both User and Computer Configuration under the key the program
reads its policies from (settings/PolicyValue.h), never the user's own
values' key: a text policy per drive value the settings store keeps (its
value table in settings/DriveSettingsStore.h), named exactly as the store
names them, and never the password; and the two values that turn on
switching by itself (settings/AutoSwitchSettings.h), AutoSwitch writing "1"
when enabled; and "School proxy", the school switch's three proxy values
(switching/SchoolProxy.h), optional and as long as it takes. Only the user's
area is stored expandable, so that it can name %USERNAME%. Every string and
presentation the ADMX refers to must be in the ADML.

The scheduled task must be well-formed and fire on event 10000 of
Microsoft-Windows-NetworkProfile/Operational for the school network's name,
running /school. No task may run /home: another network connects at school
whenever a virtual adapter, a VPN or a dock comes up.

Usage: test_deployment_templates.py [--policy FOLDER] [--tasks FOLDER] [unittest options]
(FOLDER holds Rerevure.admx and en-US/, or the task files; the defaults are
release/policy and release/tasks.)
"""

import os
import re
import sys
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
POLICY = os.path.join(ROOT, "release", "policy")
TASKS = os.path.join(ROOT, "release", "tasks")
STORE = os.path.join(ROOT, "settings", "DriveSettingsStore.h")
AUTO_SWITCH = os.path.join(ROOT, "settings", "AutoSwitchSettings.h")
POLICY_VALUE = os.path.join(ROOT, "settings", "PolicyValue.h")
SCHOOL_PROXY = os.path.join(ROOT, "switching", "SchoolProxy.h")
NS = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
TASK_NS = {"t": "http://schemas.microsoft.com/windows/2004/02/mit/task"}


def store_value_names():
    """The value names of the store's table kDriveValues, in order."""
    with open(STORE, encoding="utf-8") as f:
        text = f.read()
    table = re.search(r"kDriveValues\{\{(.*?)\}\};", text, re.S)
    assert table, "no kDriveValues table in " + STORE
    return re.findall(r'\{L"(\w+)",', table.group(1))


def auto_switch_value_names():
    """AutoSwitch and SchoolNetworks, as the auto-switch settings name them."""
    with open(AUTO_SWITCH, encoding="utf-8") as f:
        text = f.read()
    names = [re.search(r"%s = L\"(\w+)\";" % c, text).group(1)
             for c in ("kAutoSwitchValue", "kSchoolNetworksValue")]
    return names


def school_proxy_values():
    """The proxy value names in the school proxy's order, and their longest length."""
    with open(SCHOOL_PROXY, encoding="utf-8") as f:
        text = f.read()
    names = [re.search(r"%s = L\"(\w+)\";" % c, text).group(1)
             for c in ("kProxyServerValue", "kProxyBypassValue", "kAutoConfigUrlValue")]
    longest = int(re.search(r"kMaxProxyValueLength = (\d+);", text).group(1))
    return names, longest


def policy_key():
    """The key under HKLM and HKCU the program reads its policies from."""
    with open(POLICY_VALUE, encoding="utf-8") as f:
        key = re.search(r'kPolicyKey = L"([^"]+)";', f.read()).group(1)
    return key.replace("\\\\", "\\")


class PolicyTemplatesTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.admx = ET.parse(os.path.join(POLICY, "Rerevure.admx")).getroot()
        cls.adml = ET.parse(os.path.join(POLICY, "en-US", "Rerevure.adml")).getroot()
        cls.policies = cls.admx.findall("p:policies/p:policy", NS)
        cls.on_off, _ = auto_switch_value_names()

    def test_schema_one_policies_for_users_and_computers_under_the_policies_key(self):
        for root in (self.admx, self.adml):
            self.assertEqual(root.get("schemaVersion"), "1.0")
        self.assertTrue(self.policies)
        key = policy_key()
        self.assertTrue(key.startswith("Software\\Policies\\"), key)
        for policy in self.policies:
            with self.subTest(policy=policy.get("name")):
                self.assertEqual(policy.get("class"), "Both")
                self.assertEqual(policy.get("key"), key)
                if policy.get("name") == self.on_off:
                    # On or off, as the text the program compares with "1".
                    self.assertEqual(policy.get("valueName"), self.on_off)
                    self.assertEqual(policy.findtext("p:enabledValue/p:string", None, NS), "1")
                    self.assertIsNone(policy.find("p:elements", NS))
                    continue
                if policy.get("name") == "SchoolProxy":
                    names, longest = school_proxy_values()
                    texts = policy.findall("p:elements/p:text", NS)
                    self.assertEqual([t.get("valueName") for t in texts], names)
                    for text in texts:  # a school fills in the fields of its form
                        self.assertNotEqual(text.get("required"), "true")
                        self.assertEqual(int(text.get("maxLength", "1023")), longest)
                    continue
                # No value of the policy itself: only its text element writes.
                self.assertIsNone(policy.get("valueName"))
                elements = list(policy.find("p:elements", NS))
                self.assertEqual(len(elements), 1)
                text = elements[0]
                self.assertEqual(text.tag, "{%s}text" % NS["p"])
                self.assertEqual(text.get("valueName"), policy.get("name"))
                # REG_EXPAND_SZ for the user's area, REG_SZ for the rest.
                expandable = "true" if policy.get("name") == "UserArea" else "false"
                self.assertEqual(text.get("expandable", "false"), expandable)

    def test_exactly_the_programs_values_without_the_password(self):
        store = store_value_names()
        self.assertIn("Password", store)
        written = [e.get("valueName") for e in self.admx.iter() if e.get("valueName")]
        expected = ([n for n in store if n != "Password"] + auto_switch_value_names()
                    + school_proxy_values()[0])
        self.assertEqual(sorted(written), sorted(expected))
        self.assertNotIn("password", " ".join(written).lower())

    def test_every_reference_is_resolved_by_the_adml(self):
        strings = {s.get("id") for s in self.adml.iterfind(".//p:stringTable/p:string", NS)}
        presentations = {
            p.get("id"): p for p in self.adml.iterfind(".//p:presentationTable/p:presentation", NS)
        }
        for element in self.admx.iter():
            for value in element.attrib.values():
                for kind, name in re.findall(r"\$\((string|presentation)\.(\w+)\)", value):
                    with self.subTest(reference=value):
                        self.assertIn(name, strings if kind == "string" else presentations)
        for policy in self.policies:
            if policy.get("presentation") is None:
                continue
            presentation = presentations[policy.get("name")]
            boxes = [b.get("refId") for b in presentation.iterfind("p:textBox", NS)]
            ids = [t.get("id") for t in policy.iterfind("p:elements/p:text", NS)]
            self.assertEqual(boxes, ids)


class NetworkTasksTest(unittest.TestCase):
    def task(self, name):
        root = ET.parse(os.path.join(TASKS, name)).getroot()
        query = ET.fromstring(root.find(".//t:EventTrigger/t:Subscription", TASK_NS).text)
        select = query.find("Query/Select")
        self.assertEqual(select.get("Path"), "Microsoft-Windows-NetworkProfile/Operational")
        network = re.fullmatch(
            r"\*\[System\[\(EventID=10000\)\]\] and "
            r"\*\[EventData\[Data\[@Name='Name'\](=|!=)'([^']+)'\]\]",
            select.text,
        )
        self.assertIsNotNone(network, select.text)
        exec_ = root.find(".//t:Actions/t:Exec", TASK_NS)
        self.assertTrue(exec_.find("t:Command", TASK_NS).text.endswith('\\Rerevure.exe"'))
        # A run may become the running program: no time limit may end it.
        self.assertEqual(root.find(".//t:Settings/t:ExecutionTimeLimit", TASK_NS).text, "PT0S")
        return network.groups(), exec_.find("t:Arguments", TASK_NS).text

    def test_school_network_runs_school_and_no_task_runs_home(self):
        (school_op, _), school_args = self.task("Rerevure-school-network.xml")
        self.assertEqual((school_op, school_args), ("=", "/school"))
        for name in sorted(os.listdir(TASKS)):
            with self.subTest(task=name):
                self.assertNotEqual(self.task(name)[1], "/home")

if __name__ == "__main__":
    for option in ("--policy", "--tasks"):
        if option in sys.argv:
            i = sys.argv.index(option)
            globals()[option[2:].upper()] = os.path.abspath(sys.argv[i + 1])
            del sys.argv[i : i + 2]
    unittest.main()
