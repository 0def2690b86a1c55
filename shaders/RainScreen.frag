// Rain Screen: a downpour between you and the desktop. Streaks of rain fall
// in three depths, slanted by the wind; water runs down the pane in wavering
// rivulets that bend the picture behind; the light is grey and cool, and now
// and then lightning lights everything up.
#version 120

uniform vec2 iResolution;
uniform float iTime;
uniform sampler2D iChannel0;

varying vec2 vTexCoord;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(41.1, 289.7))) * 43758.5453);
}

// Rain streaks of one depth: columns of width w (dial units), streak length len.
float Streaks(vec2 p, float w, float len, float speed, float t, float seed)
{
    p.x += p.y * 0.18; // wind
    float column = floor(p.x / w);
    float x = fract(p.x / w) - 0.5;
    float h = Hash(vec2(column, seed));
    float y = fract((p.y + t * speed * (0.8 + 0.4 * h)) / 130.0 + h * 7.0) * 130.0;
    // Two drops per column and turn.
    float along = mod(y, 65.0);
    float streak = smoothstep(len, 0.0, along) * smoothstep(0.0, 2.0, along);
    float width = smoothstep(0.5, 0.1, abs(x - (h - 0.5) * 0.5)) ;
    return streak * width * step(0.35, Hash(vec2(column, floor(y / 65.0) + seed)));
}

void main()
{
    float scale = iResolution.y / 130.0;
    vec2 uv = gl_FragCoord.xy / iResolution;
    vec2 p = gl_FragCoord.xy / scale;
    float t = iTime;

    // Rivulets: narrow wavering lanes that bend the picture sideways.
    float lane = floor(p.x / 16.0);
    float laneX = (lane + 0.5 + 0.3 * (Hash(vec2(lane, 1.0)) - 0.5)) * 16.0 + 2.0 * sin(p.y * 0.15 + lane * 3.0 + t * 0.5);
    float inLane = smoothstep(2.2, 0.8, abs(p.x - laneX)) * step(0.5, Hash(vec2(lane, 4.0)));
    float flow = fract(p.y / 40.0 + t * 0.6 + Hash(vec2(lane, 2.0)));
    vec2 bend = vec2((p.x - laneX) * 0.8 * inLane, 3.0 * inLane * sin(flow * 6.2831)) / iResolution * scale;
    vec3 back = texture2D(iChannel0, uv - bend).rgb;

    // Grey, cool light; lightning now and then.
    float grey = dot(back, vec3(0.299, 0.587, 0.114));
    back = mix(back, vec3(grey), 0.35) * vec3(0.62, 0.68, 0.8);
    float strike = floor(t * 0.5);
    float flashT = fract(t * 0.5) * 2.0; // seconds into this turn
    float flash = step(0.7, Hash(vec2(strike, 9.0))) *
                  (exp(-flashT * 9.0) + 0.6 * exp(-abs(flashT - 0.25) * 25.0));
    back += vec3(0.75, 0.8, 0.95) * flash * (0.5 + grey);
    back += vec3(0.15, 0.18, 0.22) * inLane; // water catches the light

    float rain = Streaks(p, 3.0, 6.0, 170.0, t, 1.0) * 0.35 + Streaks(p + 17.0, 5.0, 10.0, 240.0, t, 2.0) * 0.55 +
                 Streaks(p + 41.0, 9.0, 18.0, 330.0, t, 3.0) * 0.8;
    vec3 col = back + vec3(0.75, 0.8, 0.9) * rain * (1.0 + 2.0 * flash);
    gl_FragColor = vec4(col, 1.0);
}
