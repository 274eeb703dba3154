# gdb pretty-printers for the ptrbox containers and iterators.
#
# Installed as <datadir>/gdb/auto-load/<libdir>/libptrbox.so.1.0.0-gdb.py, so
# gdb loads it with the library, with ptrbox_walk.py beside it; `source` this
# file to load it by hand. Each container shows its size and the stored
# pointers (keys and data where it is keyed), each iterator its position; the
# typed ptrbox::Hash, OrderList and Tree show their key and data types and
# what the pointers point to. The walks and texts shared with the LLDB
# formatters are in ptrbox_walk.py.

import os
import sys

import gdb
import gdb.printing
import gdb.types

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ptrbox_walk as walk  # noqa: E402


def tag(val):
    """The class name of a value, through typedefs and qualifiers."""
    return gdb.types.get_basic_type(val.type).tag


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
            return walk.ptr(key)
        if str(self.key_type.strip_typedefs()) == "const char *":
            return '"%s"' % key.cast(self.key_type).string()
        return str(key.cast(self.key_type.pointer()).dereference())

    def show_data(self, data):
        if not data:
            return walk.ptr(data)
        return str(data.cast(self.data_type.pointer()).dereference())


class ListPrinter(Printer):
    def to_string(self):
        return "%s of size %d" % (self.name(), int(self.val["count"]))

    def children(self):
        for i, node in enumerate(walk.capped(walk.list_nodes(self.val))):
            yield "[%d]" % i, node["data"]

    def display_hint(self):
        return "array"


class OrderListPrinter(ListPrinter):
    def children(self):
        item = gdb.lookup_type("_OListItem").pointer()
        for i, node in enumerate(walk.capped(walk.list_nodes(self.val))):
            node = node.cast(item)
            yield "[%d]" % i, self.show_key(node["key"])
            yield "[%d]" % i, self.show_data(node["data"])

    def display_hint(self):
        return "map"


class ListIterPrinter(Printer):
    def to_string(self):
        return walk.list_iter_text(self.val)


class StackPrinter(Printer):
    def to_string(self):
        size = sum(1 for _ in walk.capped(walk.stack_items(self.val)))
        return "%s of size %d (top first)" % (tag(self.val), size)

    def children(self):
        for i, item in enumerate(walk.capped(walk.stack_items(self.val))):
            yield "[%d]" % i, item["datum"]

    def display_hint(self):
        return "array"


class HashPrinter(Printer):
    def to_string(self):
        v = self.val
        text = "%s of size %d in %d buckets" % (
            self.name(), int(v["numentries"]), int(v["tabsize"]))
        return text + (", growth suspended" if int(v["iterating"]) else "")

    def children(self):
        for b, first in walk.hash_buckets(self.val):
            yield "[%d]" % b, walk.chain_text(
                walk.hash_chain(first), self.show_key, self.show_data)


class HashIterPrinter(Printer):
    def to_string(self):
        return walk.hash_iter_text(self.val)


class TreePrinter(Printer):
    def to_string(self):
        return walk.tree_summary(self.name(), self.val["_root"])

    def children(self):
        for i, node in enumerate(walk.capped(walk.tree_inorder(self.val["_root"]))):
            yield "[%d]" % i, walk.tree_key(node, self.show_key)
            yield "[%d]" % i, self.show_data(node["_data"])

    def display_hint(self):
        return "map"


class TypedHashPrinter(Typed, HashPrinter):
    pass


class TypedOrderListPrinter(Typed, OrderListPrinter):
    pass


class TypedTreePrinter(Typed, TreePrinter):
    pass


class TreeIteratorPrinter(Printer):
    def to_string(self):
        return walk.tree_iter_text(self.val)


class MTreePrinter(Printer):
    def to_string(self):
        size = sum(1 for _ in walk.capped(walk.mtree_walk(self.val.address)))
        return "%s of size %d" % (tag(self.val), size)

    def children(self):
        for i, node in enumerate(walk.capped(walk.mtree_walk(self.val.address))):
            yield "[%d]" % i, node["key"]
            yield "[%d]" % i, walk.mtree_value(node)

    def display_hint(self):
        return "map"


class MTreeIterPrinter(Printer):
    def to_string(self):
        return walk.mtree_iter_text(self.val)


class ObjectLstPrinter(Printer):
    def to_string(self):
        return "%s of size %d" % (tag(self.val), int(self.val["countelem"]))

    def children(self):
        for i, node in enumerate(walk.capped(walk.objlst_nodes(self.val))):
            yield "[%d]" % i, node["elementPtr"]

    def display_hint(self):
        return "array"


class ObjectLstIterPrinter(Printer):
    def to_string(self):
        return walk.objlst_iter_text(self.val)


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
