#!/usr/bin/python3
"""Reads the running Vantiro window over AT-SPI as a screen reader does.

Prints each control's role and name, the group of each radio button, then
selects Double through its accessibility action and reports what
the precision rule and the Memory Required display did. Exits non-zero when
a radio button is not announced as one or the rule did not run.

With --help-window it reads the open help window instead: its Contents,
Index and Search tabs, and a search made as a screen reader's user makes it
(words set in the field, List Topics and Display pressed through their
actions), which must open the first page found.
"""
import sys
import time

import pyatspi


def find_app(name, tries=40):
    for _ in range(tries):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.25)
    return None


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def by_name(app, name, role=None):
    for node, _ in walk(app):
        if node.name == name and (role is None or node.getRoleName() == role):
            return node
    return None


def sensitive(node):
    return node.getState().contains(pyatspi.STATE_SENSITIVE)


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press") if "Press" in names else 0)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def shown_by_name(app, name, role):
    for node, _ in walk(app):
        if node.name == name and node.getRoleName() == role and showing(node):
            return node
    return None


def check_help_window(app):
    failures = []
    window = None
    for _ in range(20):
        window = by_name(app, "Vantiro User Manual", "frame")
        if window is not None:
            break
        time.sleep(0.25)
    if window is None:
        print("windows:", [(c.getRoleName(), c.name) for c in app])
        return ["no help window"]
    tabs = [node for node, _ in walk(window) if node.getRoleName() == "page tab"]
    print("help tabs:", [t.name for t in tabs])
    if [t.name for t in tabs] != ["Contents", "Index", "Search"]:
        failures.append("the help window's tabs are not Contents, Index, Search")
        return failures
    press(tabs[2])
    time.sleep(0.5)
    words = shown_by_name(window, "Words to search for", "text")
    list_topics = shown_by_name(window, "List Topics", "push button")
    if words is None or list_topics is None:
        return failures + ["the Search tab's field or List Topics is not shown"]
    words.queryEditableText().setTextContents("state file")
    press(list_topics)
    time.sleep(1.0)
    found = shown_by_name(window, "Topics found", "list")
    titles = [child.name for child in found] if found is not None else []
    print("topics found:", titles[:4], "...", len(titles))
    if not titles:
        return failures + ["the search listed no topics"]
    press(shown_by_name(window, "Display", "push button"))
    time.sleep(1.0)
    topic = by_name(window, "Topic")
    text = topic.queryText().getText(0, 200) if topic is not None else ""
    print("page shown:", text.splitlines()[1:2])
    if titles[0] not in text:
        failures.append(f"Display did not open {titles[0]!r}")
    for name in ["Contents", "Keyword to find", "Keywords"]:
        if by_name(window, name) is None:
            failures.append(f"no control named {name!r}")
    return failures


def main():
    app = find_app("Vantiro")
    if app is None:
        print("no Vantiro application on the accessibility bus")
        return 2
    if "--help-window" in sys.argv[1:]:
        failures = check_help_window(app)
        for failure in failures:
            print("FAIL:", failure)
        return 1 if failures else 0
    failures = []
    radios = ["Single", "Double", "x87", "nnvec2!", "SSE", "Idle", "Normal", "High"]
    for node, depth in walk(app):
        if node.getRoleName() in ("filler", "unknown") and not node.name:
            continue
        print("  " * depth + f"{node.getRoleName()}: {node.name!r}")
    for name in radios:
        node = by_name(app, name)
        role = node.getRoleName() if node else "missing"
        # Screen readers announce a radio button's group from the named
        # panel that holds it.
        parent = node.parent if node is not None else None
        group = parent.name if parent is not None and parent.getRoleName() == "panel" else ""
        print(f"radio {name!r}: role {role!r}, group {group!r}")
        if role != "radio button":
            failures.append(f"{name} is announced as {role}")
        if not group:
            failures.append(f"{name} is in no named group")

    double = by_name(app, "Double", "radio button")
    sse = by_name(app, "SSE", "radio button")
    memory = by_name(app, "Memory Required:", "text")
    if double is None or sse is None or memory is None:
        failures.append("Double, SSE or Memory Required not found")
    else:
        before = memory.queryText().getText(0, -1)
        print(f"before: SSE sensitive {sensitive(sse)}, memory {before!r}")
        action = double.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        print(f"Double's actions: {names}")
        action.doAction(0)
        time.sleep(1.0)
        after = memory.queryText().getText(0, -1)
        checked = double.getState().contains(pyatspi.STATE_CHECKED)
        print(f"after: Double checked {checked}, SSE sensitive {sensitive(sse)}, "
              f"memory {after!r}")
        if not checked or sensitive(sse) or after == before:
            failures.append("selecting Double by its action skipped the precision rule")
    for failure in failures:
        print("FAIL:", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
