// Reading and writing the properties of small objects.
function run(n) {
    var o = { x: 1, y: 2, z: 0 };
    var p = { a: 3, b: 4 };
    for (var i = 0; i < n; i++) {
        o.z = o.x + o.y + p.a;
        o.x = o.y;
        o.y = o.z % 1000;
        p.a = p.b;
        p.b = i % 7;
    }
    return o.x + o.y + o.z;
}
print(run(1500000));
