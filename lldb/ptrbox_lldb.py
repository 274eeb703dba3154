# LLDB data formatters for the ptrbox containers and iterators.
#
# Load with `command script import <this file>` (for an install,
# <datadir>/ptrbox/lldb/ptrbox_lldb.py); LLDB has no auto-load directory, so
# put that line in ~/.lldbinit to have them in every session. Each
# container's summary shows its size and the stored pointers (keys and data
# where it is keyed), each iterator's its position; the typed ptrbox::Hash,
# OrderList and Tree show their key and data types and what the pointers
# point to: the same text as the gdb printers, from the same walks
# (ptrbox_walk.py, beside this file when installed, in ../gdb in a checkout).

import os
import sys

import lldb

_here = os.path.dirname(os.path.abspath(__file__))
for _d in (os.path.join(_here, os.pardir, "gdb"), _here):
    if _d not in sys.path:
        sys.path.insert(0, _d)
import ptrbox_walk as walk  # noqa: E402

CATEGORY = "ptrbox"


def _complete_type(sb_type, target):
    """The definition of a class that a program's own debug information only
    declares: gcc describes a class with virtual functions only where its
    first one is defined, in libptrbox, and LLDB does not look there."""
    if sb_type.GetNumberOfFields() or sb_type.GetNumberOfDirectBaseClasses():
        return None
    name = sb_type.GetName()
    for candidate in target.FindTypes(name):
        if candidate.GetNumberOfFields() or candidate.GetNumberOfDirectBaseClasses():
            return candidate
    return None


def _completed(sb):
    """sb, or sb read again as its class's definition (through a pointer,
    the pointer cast to one)."""
    t = sb.GetType().GetCanonicalType()
    target = sb.GetTarget()
    if t.IsPointerType():
        full = _complete_type(t.GetPointeeType().GetUnqualifiedType(), target)
        return sb.Cast(full.GetPointerType()) if full else sb
    full = _complete_type(t.GetUnqualifiedType(), target)
    if full is None:
        return sb
    return sb.CreateValueFromAddress(sb.GetName(), sb.GetLoadAddress(), full)


def _base(sb, name):
    """The classic class under a typed container, e.g. _Hash under
    ptrbox::Hash<K, V>, completed."""
    t = sb.GetType().GetCanonicalType()
    for i in range(t.GetNumberOfDirectBaseClasses()):
        base = t.GetDirectBaseClassAtIndex(i)
        if base.GetType().GetUnqualifiedType().GetName() == name:
            part = sb.CreateValueFromAddress(
                name, sb.GetLoadAddress() + base.GetOffsetInBytes(), base.GetType())
            return _completed(part)
    return sb


class V:
    """An SBValue behind the value protocol of ptrbox_walk."""

    __slots__ = ("sb",)

    def __init__(self, sb):
        self.sb = sb

    def __getitem__(self, key):
        if isinstance(key, int):  # an element of a pointed-to array
            return V(self.sb.GetChildAtIndex(key, lldb.eNoDynamicValues, True))
        child = self.sb.GetChildMemberWithName(key)
        if not child.IsValid():
            self.sb = _completed(self.sb)
            child = self.sb.GetChildMemberWithName(key)
        if not child.IsValid():
            raise KeyError("ptrbox: no member %s in %s" % (key, self.sb.GetTypeName()))
        return V(child)

    def __int__(self):
        if self.sb.GetType().IsPointerType():
            return self.sb.GetValueAsUnsigned(0)
        return self.sb.GetValueAsSigned(0)

    def __bool__(self):
        return self.sb.GetValueAsUnsigned(0) != 0

    def __eq__(self, other):
        return int(self) == int(other)

    @property
    def address(self):
        return V(self.sb.AddressOf())

    def cast(self, type_name):
        target = self.sb.GetTarget()
        return V(self.sb.Cast(target.FindFirstType(type_name).GetPointerType()))


def _plain(valobj):
    """The value as stored; for a typed container its classic base."""
    sb = valobj.GetNonSyntheticValue()
    t = sb.GetType().GetCanonicalType()
    if t.GetName().startswith("ptrbox::") and t.GetNumberOfDirectBaseClasses():
        base = t.GetDirectBaseClassAtIndex(0).GetType().GetUnqualifiedType()
        return _base(sb, base.GetName())
    return _completed(sb)


def _tag(valobj):
    return valobj.GetType().GetCanonicalType().GetUnqualifiedType().GetName()


def _braced(head, items):
    """The container's line as gdb prints it: head = {item, ...}."""
    items = list(items)
    return "%s = {%s}" % (head, ", ".join(items)) if items else head


class _Pointers:
    """A classic container shows its keys and data as the pointers they are."""

    def __init__(self, valobj):
        self.name = _tag(valobj)

    def key(self, value):
        return walk.ptr(value)

    data = key


class _Typed:
    """ptrbox::Hash, OrderList and Tree show *key and *data (C strings as
    text), named with their key and data types."""

    def __init__(self, valobj):
        t = valobj.GetType().GetCanonicalType().GetUnqualifiedType()
        self.key_type = t.GetTemplateArgumentType(0)
        self.data_type = t.GetTemplateArgumentType(1)
        self.process = valobj.GetProcess()
        self.name = "%s<%s, %s>" % (t.GetName().split("<")[0],
                                    self.key_type.GetName(), self.data_type.GetName())

    def _pointee(self, value, type_):
        target = value.sb.Cast(type_.GetPointerType()).Dereference()
        return target.GetValue() or target.GetSummary() or str(target)

    def key(self, value):
        if not value:
            return walk.ptr(value)
        if self.key_type.GetCanonicalType().GetName() == "const char *":
            error = lldb.SBError()
            text = self.process.ReadCStringFromMemory(int(value), 4096, error)
            return '"%s"' % text if error.Success() else walk.ptr(value)
        return self._pointee(value, self.key_type)

    def data(self, value):
        if not value:
            return walk.ptr(value)
        return self._pointee(value, self.data_type)


def _pairs(items):
    return ("[%s] = %s" % item for item in items)


def _list(valobj, show):
    v = V(_plain(valobj))
    head = "%s of size %d" % (show.name, int(v["count"]))
    return head, walk.capped(walk.list_nodes(v))


def list_summary(valobj, _dict):
    head, nodes = _list(valobj, _Pointers(valobj))
    return _braced(head, (walk.ptr(n["data"]) for n in nodes))


def _order_list(valobj, show):
    head, nodes = _list(valobj, show)
    items = (n.cast("_OListItem") for n in nodes)
    return _braced(head, _pairs((show.key(n["key"]), show.data(n["data"])) for n in items))


def order_list_summary(valobj, _dict):
    return _order_list(valobj, _Pointers(valobj))


def typed_order_list_summary(valobj, _dict):
    return _order_list(valobj, _Typed(valobj))


def stack_summary(valobj, _dict):
    v = V(_plain(valobj))
    items = [walk.ptr(i["datum"]) for i in walk.capped(walk.stack_items(v))]
    return _braced("%s of size %d (top first)" % (_tag(valobj), len(items)), items)


def _hash(valobj, show):
    v = V(_plain(valobj))
    head = "%s of size %d in %d buckets" % (show.name, int(v["numentries"]), int(v["tabsize"]))
    if int(v["iterating"]):
        head += ", growth suspended"
    buckets = ((str(b), walk.chain_text(walk.hash_chain(first), show.key, show.data))
               for b, first in walk.hash_buckets(v))
    return _braced(head, _pairs(buckets))


def hash_summary(valobj, _dict):
    return _hash(valobj, _Pointers(valobj))


def typed_hash_summary(valobj, _dict):
    return _hash(valobj, _Typed(valobj))


def _tree(valobj, show):
    root = V(_plain(valobj))["_root"]
    nodes = walk.capped(walk.tree_inorder(root))
    return _braced(walk.tree_summary(show.name, root),
                   _pairs((walk.tree_key(n, show.key), show.data(n["_data"])) for n in nodes))


def tree_summary(valobj, _dict):
    return _tree(valobj, _Pointers(valobj))


def typed_tree_summary(valobj, _dict):
    return _tree(valobj, _Typed(valobj))


def mtree_summary(valobj, _dict):
    v = V(_plain(valobj))
    nodes = list(walk.capped(walk.mtree_walk(v.address)))
    return _braced("%s of size %d" % (_tag(valobj), len(nodes)),
                   _pairs((walk.ptr(n["key"]), walk.mtree_value(n)) for n in nodes))


def objlst_summary(valobj, _dict):
    v = V(_plain(valobj))
    items = (walk.ptr(n["elementPtr"]) for n in walk.capped(walk.objlst_nodes(v)))
    return _braced("%s of size %d" % (_tag(valobj), int(v["countelem"])), items)


def _iterator(text):
    return lambda valobj, _dict: text(V(_plain(valobj)))


list_iter_summary = _iterator(walk.list_iter_text)
hash_iter_summary = _iterator(walk.hash_iter_text)
tree_iter_summary = _iterator(walk.tree_iter_text)
mtree_iter_summary = _iterator(walk.mtree_iter_text)
objlst_iter_summary = _iterator(walk.objlst_iter_text)

SUMMARIES = {
    "^_List$": "list_summary",
    "^_OrderList$": "order_list_summary",
    "^_ListIter$": "list_iter_summary",
    "^(_Stack|_TreeNodeStack|_MTreeStack)$": "stack_summary",
    "^_Hash$": "hash_summary",
    "^_HashIter$": "hash_iter_summary",
    "^_Tree$": "tree_summary",
    "^_TreeIterator$": "tree_iter_summary",
    "^_MTree$": "mtree_summary",
    "^_MTreeIter$": "mtree_iter_summary",
    "^ObjectLst$": "objlst_summary",
    "^ObjectLstIter$": "objlst_iter_summary",
    "^ptrbox::Hash<.+>$": "typed_hash_summary",
    "^ptrbox::OrderList<.+>$": "typed_order_list_summary",
    "^ptrbox::Tree<.+>$": "typed_tree_summary",
}


def _guarded(function):
    """A summary that reports a corrupt container instead of failing."""
    def summary(valobj, internal_dict):
        try:
            return function(valobj, internal_dict)
        except (walk.Corrupt, KeyError) as error:
            return "<%s>" % error
    return summary


def __lldb_init_module(debugger, _dict):
    module = sys.modules[__name__]
    for pattern, name in SUMMARIES.items():
        setattr(module, name + "_guarded", _guarded(getattr(module, name)))
        # -p: a pointer to a container prints as the pointer it is.
        debugger.HandleCommand('type summary add -w %s -p -x "%s" -F %s.%s_guarded'
                               % (CATEGORY, pattern, __name__, name))
    debugger.HandleCommand("type category enable %s" % CATEGORY)
