#include "BinaryTree"

#include "PointerOrder.h"
#include "../checked/Hooks.h"

_TreeNode::_TreeNode(void* data, void* key, _TreeNode* leftChild,
                     _TreeNode* rightChild)
    : _data(data), _key(key), _parent(nullptr), lchild(leftChild),
      rchild(rightChild), flags(0) {
  adoptChildren();
}

_TreeNode::_TreeNode(void* data, _TreeNode* leftChild, _TreeNode* rightChild)
    : _TreeNode(data, nullptr, leftChild, rightChild) {}

void _TreeNode::adoptChildren() {
  if (lchild)
    lchild->_parent = this;
  if (rchild)
    rchild->_parent = this;
}

_Tree::~_Tree() {
  PTRBOX_CHECK(containerGone(this));
  // Rotating the left child up until the top node has none, then releasing
  // the top node and going on with its right child, visits every node with
  // constant extra space: each rotation moves one node off a left link for
  // good, so the whole teardown is linear.
  _TreeNode* top = _root;
  while (top) {
    if (_TreeNode* left = top->leftChild()) {
      top->setLeftChild(left->rightChild());
      left->setRightChild(top);
      top = left;
    } else {
      _TreeNode* right = top->rightChild();
      PTRBOX_CHECK(release(ptrbox_checked::Access::parentOf(top),
                           ptrbox_checked::Destroyed));
      delete top;
      top = right;
    }
  }
}

_TreeNode* _Tree::insert(void* key, void* data) {
  PTRBOX_CHECK(Entered entered(this, "_Tree::insert"));
  const Stop s = descend(
      [this, key](const _TreeNode* n) { return keyCmp(n->key(), key); });
  if (s.found)
    return s.found;
  _TreeNode* node = new _TreeNode(data, key, nullptr, nullptr);
  PTRBOX_CHECK(treeChanged(this));
  link(node, s);
  return node;
}

_TreeNode* _Tree::find(void* key) {
  PTRBOX_CHECK(Entered entered(this, "_Tree::find"));
  return descend(
             [this, key](const _TreeNode* n) { return keyCmp(n->key(), key); })
      .found;
}

void _Tree::remove(_TreeNode* node) {
  PTRBOX_CHECK(Entered entered(this, "_Tree::remove"));
  if (!node)
    return;
  PTRBOX_CHECK(treeRemoving(this, _root, node));
  // Unlinking an inner node would mean restructuring; killing it keeps
  // removal constant-time and every other node where it was.
  if (node->leftChild() || node->rightChild()) {
    node->kill();
    return;
  }
  _TreeNode* parent = node->parent();
  if (!parent)
    _root = nullptr;
  else if (parent->leftChild() == node)
    parent->setLeftChild(nullptr);
  else if (parent->rightChild() == node)
    parent->setRightChild(nullptr);
  PTRBOX_CHECK(
      release(ptrbox_checked::Access::parentOf(node), ptrbox_checked::Removed));
  delete node;
}

void _Tree::remove(void* key) { remove(find(key)); }

int _Tree::keyCmp(const void* treeKey, const void* searchKey) {
  return ptrbox_detail::pointerDifference(treeKey, searchKey);
}

_TreeNodeStack::~_TreeNodeStack() = default;

_TreeIterator::_TreeIterator(_Tree* tree, TreeIterationOrder order)
    : searchOrder(order), S(new _TreeNodeStack), searchTree(tree),
      node(nullptr), rnode(nullptr) {
  try {
    reset();
  } catch (...) {
    discardWalk();
    delete S;
    throw;
  }
}

_TreeIterator::~_TreeIterator() {
  PTRBOX_CHECK(treeWalkEnds(this, searchTree, !S->isEmpty()));
  discardWalk();
  delete S;
}

void _TreeIterator::discardWalk() {
  // Only a post-order walk sets marks, and only on nodes it holds on its
  // stack; the other orders must leave the marks of a concurrent post-order
  // walk alone.
  while (!S->isEmpty()) {
    _TreeNode* n = S->pop();
    if (searchOrder == PostOrder)
      n->unmark();
  }
}

void _TreeIterator::reset() {
  PTRBOX_CHECK(treeWalkUse("reset", this, searchTree, false));
  discardWalk();
  node = searchTree ? searchTree->root() : nullptr;
  rnode = nullptr;
  PTRBOX_CHECK(treeWalkStarts(this, searchTree));
  ++*this;
}

void _TreeIterator::order(TreeIterationOrder order) {
  PTRBOX_CHECK(treeWalkUse("order", this, searchTree, false));
  discardWalk();
  searchOrder = order;
  reset();
}

_TreeNode* _TreeIterator::operator++() {
  PTRBOX_CHECK(
      treeWalkUse("operator++", this, searchTree, node || !S->isEmpty()));
  if (!searchTree || !searchTree->root())
    return nullptr;
  if (searchOrder != InOrder && searchOrder != PreOrder &&
      searchOrder != PostOrder)
    return rnode;
  // The current node changes only once the next live node (or the end) is
  // known: a push that throws on the way leaves it as it was, and the
  // cursor and stack in a state the walk resumes from.
  _TreeNode* next;
  do {
    next = searchOrder == InOrder    ? nextInOrder()
           : searchOrder == PreOrder ? nextPreOrder()
                                     : nextPostOrder();
  } while (next && next->isKilled());
  rnode = next;
  return rnode;
}

// Each next* runs the steps of its order until one reports a node (returned)
// or the walk is exhausted (null). A push comes before any other change of
// its step, so every step either completes or changes nothing.

_TreeNode* _TreeIterator::nextInOrder() {
  for (;;) {
    if (node) {
      S->push(node);
      node = node->leftChild();
    } else if (S->isEmpty()) {
      return nullptr;
    } else {
      _TreeNode* reported = S->pop();
      node = reported->rightChild();
      return reported;
    }
  }
}

_TreeNode* _TreeIterator::nextPreOrder() {
  for (;;) {
    if (node) {
      if (node->rightChild())
        S->push(node->rightChild());
      _TreeNode* reported = node;
      node = node->leftChild();
      return reported;
    }
    if (S->isEmpty())
      return nullptr;
    node = S->pop();
  }
}

_TreeNode* _TreeIterator::nextPostOrder() {
  for (;;) {
    if (node) {
      S->push(node);
      node = node->leftChild();
    } else if (S->isEmpty()) {
      return nullptr;
    } else if (S->top()->isMarked()) {
      // Both subtrees are done.
      return S->pop()->unmark();
    } else {
      // The left subtree is done. The node stays on the stack, marked, while
      // its right subtree is walked: one push per node, no pop and re-push.
      node = S->top()->mark()->rightChild();
    }
  }
}

int _TreeIterator::operator==(_TreeNode* i) const {
  PTRBOX_CHECK(treeWalkUse("operator==", this, searchTree, false));
  if (i == rnode)
    return 1;
  if (!rnode || !i)
    return 0;
  return searchTree->keyCmp(rnode->key(), i->key()) == 0;
}
