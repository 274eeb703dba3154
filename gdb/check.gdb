set pagination off
set width 0
set print pretty off
break show
run
up
info auto-load python-scripts
print list
print emptyList
print listIter
print endIter
print olist
print descending
print stack
print hash
print hashIter
print tree
print treeIter
print root
print a
print mtreeIter
print objects
print objectsIter
print ages
print names
print shares
