# Lists each field, list and button of the running Tesselpad shown on the screen, with the name a
# screen reader reads out (tools/a11y-check.sh); exits 1 when one has none.
import sys
import pyatspi

ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_COMBO_BOX,
         pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE,
         pyatspi.ROLE_TABLE, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_PUSH_BUTTON}
unnamed = 0


def walk(node, path):
    global unnamed
    try:
        role = node.getRole()
    except Exception:
        return
    if role in ROLES and node.getState().contains(pyatspi.STATE_SHOWING):
        name = (node.name or '').strip()
        print(f"{path}: {node.getRoleName()} {name!r}")
        unnamed += not name
    for i in range(min(node.childCount, 500)):
        walk(node.getChildAtIndex(i), path + '/' + (node.name or node.getRoleName())[:20])


apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None and (a.name or '').lower().startswith('tesselpad')]
if not apps:
    sys.exit('Tesselpad is not on the accessibility bus')
for app in apps:
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        walk(window, window.name or window.getRoleName())
print('unnamed:', unnamed)
sys.exit(1 if unnamed else 0)
