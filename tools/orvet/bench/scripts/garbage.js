// A million small objects built and dropped: the heap must stay small.
function run(n) {
    var keep = null;
    for (var i = 0; i < n; i++) {
        var o = { a: i, b: i + 1, next: null };
        if (i % 1000 == 0) {
            o.next = keep;
            keep = o;
        }
    }
    var count = 0;
    while (keep != null) {
        count = count + keep.b;
        keep = keep.next;
    }
    return count;
}
print(run(1000000));
