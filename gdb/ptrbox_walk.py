# How the ptrbox containers hold their nodes, for the gdb printers
# (ptrbox_printers.py) and the LLDB formatters (lldb/ptrbox_lldb.py) alike.
#
# The walks take values of either debugger behind one small protocol:
# value["field"] reads a member (through a pointer too), bool(value) is
# false for a null pointer, int(value) is the number or address, == compares
# addresses and value.address is a pointer to the object. gdb.Value has it
# as it is; the LLDB module wraps SBValue in it. Walks are capped so that a
# corrupt or uninitialised container gives an error instead of a loop.

LIMIT = 100000  # most nodes a walk visits
CHAIN_SHOWN = 50  # most entries shown per hash bucket
TREE_KILLED = 2  # the _TreeNode flag of a lazily removed node
ORDERS = {0: "in-order", 1: "pre-order", 2: "post-order"}


class Corrupt(Exception):
    """A walk ran past LIMIT nodes."""


def ptr(value):
    """A stored pointer as gdb prints a void*, e.g. 0x10 or 0x0."""
    return "0x%x" % int(value)


def pair(key, data):
    return "[%s] = %s" % (ptr(key), ptr(data))


def capped(nodes):
    """Passes nodes on, stopping with Corrupt after LIMIT of them."""
    for n, node in enumerate(nodes):
        if n == LIMIT:
            raise Corrupt("ptrbox: more than %d nodes; corrupt?" % LIMIT)
        yield node


def list_nodes(lst):
    """The nodes of a _List ring, front to back (never the sentinel)."""
    sentinel = lst["head"].address
    node = lst["head"]["forw"]
    for _ in range(max(int(lst["count"]), 0)):
        if node == sentinel:
            return
        yield node
        node = node["forw"]


def stack_items(stack):
    """The items of a _Stack (or a stack deriving from it), top first."""
    item = stack["topItem"]
    while item:
        yield item
        item = item["next"]


def hash_buckets(table):
    """(index, first entry) of each non-empty bucket of a _Hash."""
    tab = table["tab"]
    if not tab:
        return
    for b in range(int(table["tabsize"])):
        if tab[b]:
            yield b, tab[b]


def hash_chain(item):
    while item:
        yield item
        item = item["_next"]


def chain_text(entries, show_key, show_data):
    """{[key] = data, ...} for one bucket's chain, at most CHAIN_SHOWN."""
    shown = []
    for n, entry in enumerate(capped(entries)):
        if n == CHAIN_SHOWN:
            shown.append("...")
            break
        shown.append("[%s] = %s" % (show_key(entry["_key"]), show_data(entry["_data"])))
    return "{" + ", ".join(shown) + "}"


def tree_inorder(root):
    """The nodes of a _Tree in key order, killed ones included."""
    stack, node = [], root
    while stack or node:
        while node:
            stack.append(node)
            node = node["lchild"]
        node = stack.pop()
        yield node
        node = node["rchild"]


def tree_killed(node):
    return bool(int(node["flags"]) & TREE_KILLED)


def tree_key(node, show_key):
    key = show_key(node["_key"])
    return "%s (killed)" % key if tree_killed(node) else key


def tree_summary(name, root):
    nodes = list(capped(tree_inorder(root)))
    killed = sum(1 for n in nodes if tree_killed(n))
    text = "%s of size %d" % (name, len(nodes))
    return text + (" (%d killed)" % killed if killed else "")


def mtree_walk(start):
    """The _MTree walk from start: start, its descendants, its later siblings
    with theirs; a duplicate's shared children are not entered."""
    stack, node = [], start
    while node:
        yield node
        if node["child"] and not int(node["duplicate"]):
            stack.append(node)
            node = node["child"]
            continue
        while not node["sibling"]:
            if not stack:
                return
            node = stack.pop()
        node = node["sibling"]


def mtree_value(node):
    notes = ["depth %d" % int(node["depth"])]
    if int(node["duplicate"]):
        notes.append("duplicate")
    if int(node["deleting"]):
        notes.append("deleting")
    return "%s (%s)" % (ptr(node["data"]), ", ".join(notes))


def objlst_nodes(lst):
    node = lst["head"]
    while node:
        yield node
        node = node["next"]


def index_of(nodes, wanted):
    for i, node in enumerate(capped(nodes)):
        if node == wanted:
            return i
    return None


# The iterators' one-line texts; each takes the iterator's value.
def list_iter_text(it):
    lst, current = it["list"], it["current"]
    if not lst:
        return "_ListIter on no list"
    size = int(lst["count"])
    if current == lst["head"].address:
        return "_ListIter at end (size %d)" % size
    i = index_of(list_nodes(lst), current)
    if i is None:
        return "_ListIter on a node not in its list"
    return "_ListIter at index %d of %d: %s" % (i, size, ptr(current["data"]))


def hash_iter_text(it):
    entry = it["curSym"]
    if not entry:
        return "_HashIter at end"
    return "_HashIter at %s in bucket %d" % (
        pair(entry["_key"], entry["_data"]), int(it["bucketIndex"]) - 1)


def tree_iter_text(it):
    order = int(it["searchOrder"])
    text = "_TreeIterator %s" % ORDERS.get(order, "order %d" % order)
    node = it["rnode"]
    if not node:
        return text + " at end"
    return text + " at " + pair(node["_key"], node["_data"])


def mtree_iter_text(it):
    node = it["current_node"]
    if not node:
        return "_MTreeIter at end"
    return "_MTreeIter at [%s] = %s" % (ptr(node["key"]), mtree_value(node))


def objlst_iter_text(it):
    lst, current = it["list"], it["current"]
    if not current:
        return "ObjectLstIter at end"
    i = index_of(objlst_nodes(lst), current) if lst else None
    if i is None:
        return "ObjectLstIter on a node not in its list"
    return "ObjectLstIter at index %d of %d: %s" % (
        i, int(lst["countelem"]), ptr(current["elementPtr"]))
