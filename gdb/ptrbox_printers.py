# gdb pretty-printers for the ptrbox containers and iterators.
#
# Installed as <datadir>/gdb/auto-load/<libdir>/libptrbox.so.1.0.0-gdb.py, so
# gdb loads it with the library; `source` this file to load it by hand.
# Each container shows its size and the stored pointers (keys and data where
# it is keyed), each iterator its position; the typed ptrbox::Hash,
# OrderList and Tree show their key and data types and what the pointers
# point to. Walks are capped so that a corrupt or uninitialised container
# prints a note instead of looping.

import gdb
import gdb.printing
import gdb.types

LIMIT = 100000  # most nodes a printer walks
CHAIN_SHOWN = 50  # most entries shown per hash bucket


def tag(val):
    """The class name of a value, through typedefs and qualifiers."""
    return gdb.types.get_basic_type(val.type).tag


def ptr(value):
    """A stored pointer as gdb prints a void*, e.g. 0x10 or 0x0."""
    return str(value.cast(gdb.lookup_type("void").pointer()))


def pair(key, data):
    return "[%s] = %s" % (ptr(key), ptr(data))


def capped(nodes):
    """Passes nodes on, stopping with an error after LIMIT of them."""
    for n, node in enumerate(nodes):
        if n == LIMIT:
            raise gdb.GdbError("ptrbox: more than %d nodes; corrupt?" % LIMIT)
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


class Printer:
    def __init__(self, val):
        self.val = val

    def name(self):
        return tag(self.val)

    # A stored key or datum, shown as the pointer it is.
    def show_key(self, key):
        return key

    def show_data(self, data):
        return data


class Typed:
    """Mixed into a container's printer for ptrbox::Hash, OrderList and Tree:
    named with their key and data types, showing *key and *data (C strings
    as text) instead of the addresses."""

    def __init__(self, val):
        super().__init__(val)
        t = gdb.types.get_basic_type(val.type)
        self.key_type = t.template_argument(0)
        self.data_type = t.template_argument(1)
        self.family = t.tag.split("<")[0]

    def name(self):
        return "%s<%s, %s>" % (self.family, self.key_type, self.data_type)

    def show_key(self, key):
        if not key:
            return ptr(key)
        if str(self.key_type.strip_typedefs()) == "const char *":
            return '"%s"' % key.cast(self.key_type).string()
        return str(key.cast(self.key_type.pointer()).dereference())

    def show_data(self, data):
        if not data:
            return ptr(data)
        return str(data.cast(self.data_type.pointer()).dereference())


class ListPrinter(Printer):
    def to_string(self):
        return "%s of size %d" % (self.name(), int(self.val["count"]))

    def children(self):
        for i, node in enumerate(capped(list_nodes(self.val))):
            yield "[%d]" % i, node["data"]

    def display_hint(self):
        return "array"


class OrderListPrinter(ListPrinter):
    def children(self):
        item = gdb.lookup_type("_OListItem").pointer()
        for i, node in enumerate(capped(list_nodes(self.val))):
            node = node.cast(item)
            yield "[%d]" % i, self.show_key(node["key"])
            yield "[%d]" % i, self.show_data(node["data"])

    def display_hint(self):
        return "map"


class ListIterPrinter(Printer):
    def to_string(self):
        lst, current = self.val["list"], self.val["current"]
        if not lst:
            return "_ListIter on no list"
        size = int(lst["count"])
        if current == lst["head"].address:
            return "_ListIter at end (size %d)" % size
        i = index_of(list_nodes(lst.dereference()), current)
        if i is None:
            return "_ListIter on a node not in its list"
        return "_ListIter at index %d of %d: %s" % (i, size, ptr(current["data"]))


class StackPrinter(Printer):
    def items(self):
        item = self.val["topItem"]
        while item:
            yield item
            item = item["next"]

    def to_string(self):
        size = sum(1 for _ in capped(self.items()))
        return "%s of size %d (top first)" % (tag(self.val), size)

    def children(self):
        for i, item in enumerate(capped(self.items())):
            yield "[%d]" % i, item["datum"]

    def display_hint(self):
        return "array"


def iter_chain(item):
    while item:
        yield item
        item = item["_next"]


def hash_chain(printer, item):
    shown = []
    for n, entry in enumerate(capped(iter_chain(item))):
        if n == CHAIN_SHOWN:
            shown.append("...")
            break
        shown.append("[%s] = %s" % (printer.show_key(entry["_key"]),
                                    printer.show_data(entry["_data"])))
    return "{" + ", ".join(shown) + "}"


class HashPrinter(Printer):
    def to_string(self):
        v = self.val
        text = "%s of size %d in %d buckets" % (
            self.name(), int(v["numentries"]), int(v["tabsize"]))
        return text + (", growth suspended" if int(v["iterating"]) else "")

    def children(self):
        tab = self.val["tab"]
        if not tab:
            return
        for b in range(int(self.val["tabsize"])):
            if tab[b]:
                yield "[%d]" % b, hash_chain(self, tab[b])


class HashIterPrinter(Printer):
    def to_string(self):
        entry = self.val["curSym"]
        if not entry:
            return "_HashIter at end"
        return "_HashIter at %s in bucket %d" % (
            pair(entry["_key"], entry["_data"]), int(self.val["bucketIndex"]) - 1)


def tree_key(printer, node):
    key = printer.show_key(node["_key"])
    if int(node["flags"]) & 2:
        return "%s (killed)" % key
    return key


class TreePrinter(Printer):
    def to_string(self):
        nodes = list(capped(tree_inorder(self.val["_root"])))
        killed = sum(1 for n in nodes if int(n["flags"]) & 2)
        text = "%s of size %d" % (self.name(), len(nodes))
        return text + (" (%d killed)" % killed if killed else "")

    def children(self):
        for i, node in enumerate(capped(tree_inorder(self.val["_root"]))):
            yield "[%d]" % i, tree_key(self, node)
            yield "[%d]" % i, self.show_data(node["_data"])

    def display_hint(self):
        return "map"


ORDERS = {0: "in-order", 1: "pre-order", 2: "post-order"}


class TypedHashPrinter(Typed, HashPrinter):
    pass


class TypedOrderListPrinter(Typed, OrderListPrinter):
    pass


class TypedTreePrinter(Typed, TreePrinter):
    pass


class TreeIteratorPrinter(Printer):
    def to_string(self):
        order = int(self.val["searchOrder"])
        text = "_TreeIterator %s" % ORDERS.get(order, "order %d" % order)
        node = self.val["rnode"]
        if not node:
            return text + " at end"
        return text + " at " + pair(node["_key"], node["_data"])


def mtree_value(node):
    notes = ["depth %d" % int(node["depth"])]
    if int(node["duplicate"]):
        notes.append("duplicate")
    if int(node["deleting"]):
        notes.append("deleting")
    return "%s (%s)" % (ptr(node["data"]), ", ".join(notes))


class MTreePrinter(Printer):
    def to_string(self):
        size = sum(1 for _ in capped(mtree_walk(self.val.address)))
        return "%s of size %d" % (tag(self.val), size)

    def children(self):
        for i, node in enumerate(capped(mtree_walk(self.val.address))):
            yield "[%d]" % i, node["key"]
            yield "[%d]" % i, mtree_value(node)

    def display_hint(self):
        return "map"


class MTreeIterPrinter(Printer):
    def to_string(self):
        node = self.val["current_node"]
        if not node:
            return "_MTreeIter at end"
        return "_MTreeIter at [%s] = %s" % (ptr(node["key"]), mtree_value(node))


class ObjectLstPrinter(Printer):
    def to_string(self):
        return "%s of size %d" % (tag(self.val), int(self.val["countelem"]))

    def children(self):
        for i, node in enumerate(capped(objlst_nodes(self.val))):
            yield "[%d]" % i, node["elementPtr"]

    def display_hint(self):
        return "array"


class ObjectLstIterPrinter(Printer):
    def to_string(self):
        lst, current = self.val["list"], self.val["current"]
        if not current:
            return "ObjectLstIter at end"
        i = index_of(objlst_nodes(lst.dereference()), current) if lst else None
        if i is None:
            return "ObjectLstIter on a node not in its list"
        return "ObjectLstIter at index %d of %d: %s" % (
            i, int(lst["countelem"]), ptr(current["elementPtr"]))


PRINTERS = {
    "_List": ListPrinter,
    "_OrderList": OrderListPrinter,
    "_ListIter": ListIterPrinter,
    "_Stack": StackPrinter,
    "_TreeNodeStack": StackPrinter,
    "_MTreeStack": StackPrinter,
    "_Hash": HashPrinter,
    "_HashIter": HashIterPrinter,
    "_Tree": TreePrinter,
    "_TreeIterator": TreeIteratorPrinter,
    "_MTree": MTreePrinter,
    "_MTreeIter": MTreeIterPrinter,
    "ObjectLst": ObjectLstPrinter,
    "ObjectLstIter": ObjectLstIterPrinter,
}


TYPED = {
    "ptrbox::Hash": TypedHashPrinter,
    "ptrbox::OrderList": TypedOrderListPrinter,
    "ptrbox::Tree": TypedTreePrinter,
}


def build_pretty_printer():
    pp = gdb.printing.RegexpCollectionPrettyPrinter("ptrbox")
    for name, printer in PRINTERS.items():
        pp.add_printer(name, "^%s$" % name, printer)
    for name, printer in TYPED.items():
        pp.add_printer(name, "^%s<.*>$" % name, printer)
    return pp


gdb.printing.register_pretty_printer(
    gdb.current_objfile(), build_pretty_printer(), replace=True)
