// Reads NMEA 0183 sentences, one a line, from standard input and hands each to the Signal K
// project's parser (@signalk/nmea0183-signalk) with checksum validation on, as a Signal K server
// reads its NMEA inputs. Prints one line per sentence:
//   <result>\t<sentence>\t<path>=<value>\t...
// result is "parsed" (a delta), "none" (checksum good, no delta: a sentence the parser has no
// reader for), "void" (refused as data not valid) or "error" (anything else, checksum included).
// Values are Signal K's own: radians, metres, degrees of latitude and longitude. A position
// becomes <path>.latitude and <path>.longitude; a notification "alarm" or "null".
// The parser has no reader for waypoint lists (WPL); for those the line gives the fields as the
// parser's utilities read them (wpl.latitude, wpl.longitude, wpl.ID).
'use strict'
const Parser = require('@signalk/nmea0183-signalk')
const utils = require('@signalk/nmea0183-utilities')
const readline = require('readline')

const parser = new Parser({ validateChecksum: true })

function flatten(path, value, out) {
  if (value !== null && typeof value === 'object') {
    if ('latitude' in value || 'longitude' in value) {
      out.push(`${path}.latitude=${value.latitude}`, `${path}.longitude=${value.longitude}`)
    } else if ('state' in value) {
      out.push(`${path}=${value.state}`)
    } else {
      out.push(`${path}=${JSON.stringify(value)}`)
    }
  } else {
    out.push(`${path}=${value}`)
  }
}

const lines = readline.createInterface({ input: process.stdin })
lines.on('line', (line) => {
  const sentence = line.trim()
  if (sentence === '') return
  const fields = []
  let result
  try {
    const delta = parser.parse(sentence)
    if (delta === null) {
      result = 'none'
      const parts = sentence.split('*')[0].split(',')
      if (parts[0].endsWith('WPL')) {
        fields.push(`wpl.latitude=${utils.coordinate(parts[1], parts[2])}`,
          `wpl.longitude=${utils.coordinate(parts[3], parts[4])}`, `wpl.ID=${parts[5]}`)
      }
    } else {
      result = 'parsed'
      for (const update of delta.updates) {
        for (const { path, value } of update.values) flatten(path, value, fields)
      }
    }
  } catch (e) {
    result = /void/.test(e.message) ? 'void' : 'error'
    fields.push(`message=${e.message}`)
  }
  process.stdout.write([result, sentence, ...fields].join('\t') + '\n')
})
