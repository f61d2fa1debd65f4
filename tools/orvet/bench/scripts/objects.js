// Method calls on objects made by new.
function Point(x, y) {
    this.x = x;
    this.y = y;
}
proto(Point).dot = function(p) {
    return this.x * p.x + this.y * p.y;
};
proto(Point).moveTo = function(x, y) {
    this.x = x;
    this.y = y;
};
function run(n) {
    var p = new Point(1, 2);
    var q = new Point(3, 4);
    var s = 0;
    for (var i = 0; i < n; i++) {
        p.moveTo(i % 100, i % 7);
        s = (s + p.dot(q)) % 1000003;
        if (i % 10 == 0)
            q = new Point(i % 13, 5);
    }
    return s;
}
print(run(1000000));
